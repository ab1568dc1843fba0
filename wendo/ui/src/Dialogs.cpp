#include "Dialogs.h"

#include "tessel/URLString.h"
#include "ui_Dialog503.h"
#include "ui_Dialog554.h"

#include <QAbstractButton>
#include <QDialogButtonBox>

namespace wendo::ui {

namespace {

// Some styles put their own pictures on the standard buttons; the program's buttons carry
// their captions only, as on every form.
void PlainButtons(QDialogButtonBox* box)
{
    for (QAbstractButton* button : box->buttons()) {
        button->setIcon(QIcon());
    }
}

} // namespace

CStopDialog::CStopDialog(QWidget* parent) : QDialog(parent), m_ui(new Ui::Dialog503)
{
    m_ui->setupUi(this);
    PlainButtons(m_ui->buttons);
}

CStopDialog::~CStopDialog() = default;

StopChoice CStopDialog::Choice() const
{
    if (result() != QDialog::Accepted) {
        return StopChoice::Cancel;
    }
    return m_ui->radio_1002_suspend->isChecked() ? StopChoice::Suspend : StopChoice::Stop;
}

CHelpFallbackDialog::CHelpFallbackDialog(QWidget* parent) : QDialog(parent), m_ui(new Ui::Dialog554)
{
    m_ui->setupUi(this);
    PlainButtons(m_ui->buttons);
    m_ui->label_1001_link->setText(
        QStringLiteral("Would you like to access the <a href=\"%1\">on-line help system.</a>")
            .arg(QString::fromLatin1(kOnlineHelp)));
    connect(m_ui->label_1001_link, &QLabel::linkActivated, this, [](const QString& link) {
        CURLString address(link.toStdString());
        address.Browse2Url();
    });
}

CHelpFallbackDialog::~CHelpFallbackDialog() = default;

} // namespace wendo::ui
