#include "PlinthTestSupport.h"
#include "fw/Profile.h"
#include "plinth/KVResource.h"
#include "plinth/cdxCSizingDialog.h"
#include "plinth/cdxCSizingForm.h"

#include <QStatusBar>
#include <QToolBar>
#include <gtest/gtest.h>
#include <memory>

namespace {

constexpr int kFormId = 9501;
constexpr QSize kDesigned(400, 300);
constexpr QRect kControl(50, 60, 80, 20);

class TestForm : public cdxCSizingForm
{
public:
    TestForm(core::CDocument& document, unsigned freedom, bool grip = false)
        : cdxCSizingForm(document, kFormId, nullptr, freedom, grip), m_control(new QWidget(this)),
          m_other(new QWidget(this))
    {
        resize(kDesigned);
        RegisterResourceSize();
        m_control->setGeometry(kControl);
        m_other->setGeometry(10, 10, 30, 30);
    }
    QWidget* m_control;
    QWidget* m_other;
};

class SizingFormTest : public ::testing::Test
{
protected:
    void SetUp() override { PlinthTestApp(); }
    std::unique_ptr<TestForm> Shown(unsigned freedom = cdxSizingControlInfo::fdAll,
                                    bool grip = false)
    {
        auto form = std::make_unique<TestForm>(m_doc, freedom, grip);
        form->OnInitialUpdate(0);
        form->show();
        QApplication::processEvents();
        return form;
    }
    // Resizes by growth over the designed size and lets the resize event arrive.
    static void Grow(QWidget& form, int dx, int dy)
    {
        form.resize(kDesigned.width() + dx, kDesigned.height() + dy);
        QApplication::processEvents();
    }

    core::CDocument m_doc;
};

TEST_F(SizingFormTest, ModesMoveTheControlByTheirShareOfTheGrowth)
{
    struct Row
    {
        const char* name;
        int hMode;
        int vMode;
        int dx;
        int dy;
        QRect expected;
    };
    const Row rows[] = {
        {"far corner keeps its distance", 2, 2, 100, 40, kControl.translated(100, 40)},
        {"widens, keeps top and height", 1, 0, 100, 40, QRect(50, 60, 180, 20)},
        {"grows both ways", 1, 1, 100, 40, QRect(50, 60, 180, 60)},
        {"centred, integer division", 3, 0, 101, 40, kControl.translated(50, 0)},
        {"centred vertically", 0, 3, 0, 41, kControl.translated(0, 20)},
        {"unknown mode counts as none", 7, 2, 100, 40, kControl.translated(0, 40)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        auto form = Shown();
        ASSERT_NE(form->AddSzControl(form->m_control, row.hMode, row.vMode), nullptr);
        Grow(*form, row.dx, row.dy);
        EXPECT_EQ(form->m_control->geometry(), row.expected);
    }
}

TEST_F(SizingFormTest, PercentagesAndEqualControls)
{
    auto form = Shown();
    cdxSizingControlInfo* info = form->AddSzControlEx(form->m_control, 25, 75, 10, 90);
    ASSERT_NE(info, nullptr);
    info->AddEqualCtrl(form->m_other);
    Grow(*form, 200, 100);
    const QRect expected(50 + 50, 60 + 10, 80 + 150 - 50, 20 + 90 - 10);
    EXPECT_EQ(form->m_control->geometry(), expected);
    EXPECT_EQ(form->m_other->geometry(), expected);
}

TEST_F(SizingFormTest, NeverLaysOutBelowTheInitialSizeNorShrinksBelowIt)
{
    auto form = Shown();
    form->AddSzControl(form->m_control, 2, 2);
    Grow(*form, 60, 60);
    EXPECT_FALSE(form->ChangeSize(kDesigned.width() - 50, kDesigned.height() + 10));
    EXPECT_EQ(form->m_control->geometry(), kControl.translated(0, 10));
    EXPECT_TRUE(form->ChangeSize(kDesigned.width(), kDesigned.height()));
    EXPECT_EQ(form->m_control->geometry(), kControl);

    form->resize(100, 50);
    QApplication::processEvents();
    EXPECT_EQ(form->size(), kDesigned);
    EXPECT_EQ(form->GetHeader().GetMinTrackSize(), kDesigned);
}

TEST_F(SizingFormTest, FreedomLimitsTheDimensionsTheUserMayChange)
{
    struct Row
    {
        const char* name;
        unsigned freedom;
        QSize expected;
    };
    const Row rows[] = {
        {"width only", 1, QSize(500, 300)},
        {"height only", 2, QSize(400, 340)},
        {"both", 3, QSize(500, 340)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        auto form = Shown(row.freedom);
        Grow(*form, 100, 40);
        EXPECT_EQ(form->size(), row.expected);
    }
}

TEST_F(SizingFormTest, RegistrationIsRefusedBeforeMeasuringOrWithoutAnyPercentage)
{
    TestForm early(m_doc, 3);
    EXPECT_EQ(early.AddSzControl(early.m_control, 1, 1), nullptr);
    EXPECT_FALSE(early.GetHeader().IsMeasured());

    auto form = Shown();
    EXPECT_EQ(form->AddSzControl(form->m_control, 0, 0), nullptr);
    EXPECT_EQ(form->AddSzControlEx(nullptr, 0, 100, 0, 0), nullptr);
    EXPECT_EQ(form->UpdateSzControl(form->m_control, 1, 1), nullptr);
    Grow(*form, 100, 40);
    EXPECT_EQ(form->m_control->geometry(), kControl);
}

TEST_F(SizingFormTest, UpdateOnAGrownWindowDoesNotJumpAndFollowsTheNewShares)
{
    auto form = Shown();
    form->AddSzControl(form->m_control, 2, 0);
    Grow(*form, 100, 40);
    const QRect standing = form->m_control->geometry();
    ASSERT_EQ(standing, kControl.translated(100, 0));

    ASSERT_NE(form->UpdateSzControl(form->m_control, 0, 2), nullptr);
    EXPECT_EQ(form->m_control->geometry(), standing);
    Grow(*form, 150, 60);
    EXPECT_EQ(form->m_control->geometry(), standing.translated(0, 20));
}

TEST_F(SizingFormTest, MeasuresFromTheDesignedSizeEvenWhenAlreadyResized)
{
    auto form = std::make_unique<TestForm>(m_doc, 3);
    form->resize(600, 500);
    form->OnInitialUpdate(0);
    EXPECT_EQ(form->GetHeader().GetInitialSize(), kDesigned);
    form->AddSzControl(form->m_control, 2, 2);
    form->show();
    QApplication::processEvents();
    EXPECT_EQ(form->m_control->geometry(), kControl.translated(200, 200));
}

TEST_F(SizingFormTest, SizeGripStaysInTheCorner)
{
    auto form = Shown(3, true);
    QWidget* grip = form->GetHeader().GetSizeGrip();
    ASSERT_NE(grip, nullptr);
    EXPECT_EQ(grip->geometry(), QRect(QPoint(376, 276), QSize(24, 24)));
    Grow(*form, 100, 40);
    EXPECT_EQ(grip->geometry().bottomRight(), QPoint(499, 339));
}

TEST_F(SizingFormTest, StretchGrowsEachFreeSideByTwicePercentOfTheExtent)
{
    auto form = Shown(1);
    form->setGeometry(100, 100, 400, 300);
    QApplication::processEvents();
    form->StretchWindow(10);
    EXPECT_EQ(form->geometry(), QRect(20, 100, 560, 300));
}

TEST_F(SizingFormTest, APositionIsRestoredOnlyAfterAWholeStore)
{
    fw::Profile profile(QStringLiteral("PlinthTests"), QStringLiteral("Sizing"));
    auto form = Shown();
    form->setGeometry(30, 40, 450, 320);
    QApplication::processEvents();
    ASSERT_TRUE(form->StoreWindowPosition(QStringLiteral("Whole"), &profile));
    EXPECT_EQ(profile.GetInt(QStringLiteral("Whole"), QStringLiteral("(check)"), 0), 32639);
    EXPECT_EQ(profile.GetInt(QStringLiteral("Whole"), QStringLiteral("Right"), 0), 480);

    // A store that stopped before its last write.
    profile.WriteInt(QStringLiteral("Cut"), QStringLiteral("(check)"), -32640);
    profile.WriteInt(QStringLiteral("Cut"), QStringLiteral("Left"), 5);
    profile.WriteInt(QStringLiteral("Cut"), QStringLiteral("Right"), 700);

    form->setGeometry(60, 70, 420, 310);
    QApplication::processEvents();
    EXPECT_FALSE(form->RestoreWindowPosition(QStringLiteral("Cut"), false, &profile));
    EXPECT_FALSE(form->RestoreWindowPosition(QStringLiteral("Never"), false, &profile));
    EXPECT_EQ(form->geometry(), QRect(60, 70, 420, 310));
    EXPECT_TRUE(form->RestoreWindowPosition(QStringLiteral("Whole"), false, &profile));
    EXPECT_EQ(form->geometry(), QRect(30, 40, 450, 320));
    EXPECT_TRUE(form->isVisible());
}

TEST(SizingDialogTest, MeasuresAtInitialisationAndKeepsItsBarsInPlace)
{
    PlinthTestApp();
    cdxCSizingDialog dialog(nullptr, 3, true);
    dialog.resize(300, 200);
    auto* tools = new QToolBar(&dialog);
    tools->setObjectName(QStringLiteral("IDC_59392"));
    tools->setGeometry(0, 0, 300, 24);
    auto* status = new QStatusBar(&dialog);
    status->setObjectName(QStringLiteral("IDC_59393"));
    status->setGeometry(0, 180, 300, 20);
    EXPECT_EQ(dialog.OnInitDialog(0), 1);
    EXPECT_EQ(dialog.GetHeader().GetInitialSize(), QSize(300, 200));
    dialog.show();
    dialog.resize(380, 260);
    QApplication::processEvents();
    EXPECT_EQ(tools->geometry(), QRect(0, 0, 380, 24));
    EXPECT_EQ(status->geometry(), QRect(0, 240, 380, 20));
    ASSERT_NE(dialog.GetHeader().GetSizeGrip(), nullptr);
    EXPECT_EQ(dialog.GetHeader().GetSizeGrip()->geometry().bottomRight(), QPoint(379, 259));
    dialog.resize(100, 100);
    EXPECT_EQ(dialog.size(), QSize(300, 200));
}

TEST(KVResourceTest, FindsControlsByTheIdInTheirNames)
{
    PlinthTestApp();
    QWidget form;
    auto* edit = new QWidget(&form);
    edit->setObjectName(QStringLiteral("edit_1023"));
    auto* longer = new QWidget(&form);
    longer->setObjectName(QStringLiteral("IDC_11023"));
    EXPECT_EQ(KVGetDlgItem(&form, 1023), edit);
    EXPECT_EQ(KVGetDlgItem(&form, 11023), longer);
    auto* radio = new QWidget(&form);
    radio->setObjectName(QStringLiteral("radio_1001_stop"));
    EXPECT_EQ(KVGetDlgItem(&form, 1001), radio);
    EXPECT_EQ(KVGetDlgItem(&form, 23), nullptr);
    EXPECT_EQ(KVGetDlgItem(nullptr, 1023), nullptr);
    KVSetIDResourceSize(77, QSize(10, 20));
    EXPECT_EQ(KVGetIDResourceSize(77), QSize(10, 20));
    KVSetIDResourceSize(77, QSize());
    EXPECT_FALSE(KVGetIDResourceSize(77).isValid());
}

} // namespace
