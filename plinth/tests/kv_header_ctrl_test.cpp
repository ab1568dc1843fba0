#include "PlinthTestSupport.h"
#include "plinth/KVHeaderCtrl.h"

#include <QPixmap>
#include <QTableWidget>
#include <gtest/gtest.h>
#include <memory>

namespace {

QIcon Swatch(Qt::GlobalColor color)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(color);
    return QIcon(pixmap);
}

class KVHeaderCtrlTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        PlinthTestApp();
        m_table = std::make_unique<QTableWidget>();
        m_table->setColumnCount(3);
        m_header = new CKVHeaderCtrl(m_table.get());
        m_table->setHorizontalHeader(m_header);
        m_table->resize(400, 100);
        m_table->show();
        for (int c = 0; c < 3; ++c) {
            m_header->resizeSection(c, 50);
        }
    }

    std::unique_ptr<QTableWidget> m_table; // made once the application exists
    CKVHeaderCtrl* m_header = nullptr;
};

TEST_F(KVHeaderCtrlTest, ColumnsShowTheirImagesAndFollowANewImageList)
{
    m_header->SetImageList({Swatch(Qt::red), Swatch(Qt::blue)});
    EXPECT_TRUE(m_header->SetItemImage(1, 1));
    EXPECT_EQ(m_header->GetItemImage(1), 1);
    EXPECT_EQ(m_header->GetItemImage(0), -1);

    EXPECT_FALSE(m_header->SetItemImage(3, 0)) << "no such column";
    EXPECT_TRUE(m_header->SetItemImage(2, 9));
    EXPECT_EQ(m_header->GetItemImage(2), -1) << "a number past the list shows nothing";

    m_header->SetImageList({Swatch(Qt::green)});
    EXPECT_EQ(m_header->GetItemImage(1), -1);
    EXPECT_TRUE(m_header->SetItemImage(0, 0));
    EXPECT_EQ(m_header->GetItemImage(0), 0);
}

TEST_F(KVHeaderCtrlTest, AutofitSharesTheRoomLeftAndNeverNarrows)
{
    const int room = m_header->viewport()->width() - 150;
    ASSERT_GT(room, 2);
    m_header->Autofit();
    int total = 0;
    for (int c = 0; c < 3; ++c) {
        EXPECT_GE(m_header->sectionSize(c), 50 + room / 3);
        total += m_header->sectionSize(c);
    }
    EXPECT_EQ(total, m_header->viewport()->width());

    m_header->Autofit(); // no room left now
    EXPECT_EQ(m_header->sectionSize(0), 50 + room / 3);

    m_header->resizeSection(0, 1000);
    m_header->Autofit(1, 2);
    EXPECT_EQ(m_header->sectionSize(0), 1000) << "a header wider than its window stays";
}

} // namespace
