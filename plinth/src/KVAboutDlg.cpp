#include "plinth/KVAboutDlg.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

CKVAboutDlg::CKVAboutDlg(const QString& program, const QString& description, const QString& notice,
                         QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("CKVAboutDlg"));
    setWindowTitle(QStringLiteral("About %1").arg(program));
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* icon = new QLabel(this);
    const QIcon programIcon = parent != nullptr ? parent->windowIcon() : qApp->windowIcon();
    icon->setPixmap(programIcon.pixmap(48, 48));
    top->addWidget(icon, 0, Qt::AlignTop);
    auto* texts = new QVBoxLayout;
    auto* name = new QLabel(QStringLiteral("<b>%1</b> %2")
                                .arg(program.toHtmlEscaped(), QStringLiteral(WENDO_VERSION_TEXT)),
                            this);
    texts->addWidget(name);
    for (const QString& line : {description, notice}) {
        if (!line.isEmpty()) {
            auto* label = new QLabel(line, this);
            label->setWordWrap(true);
            texts->addWidget(label);
        }
    }
    top->addLayout(texts, 1);
    layout->addLayout(top);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

CKVAboutDlg::~CKVAboutDlg() = default;
