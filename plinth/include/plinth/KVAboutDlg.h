// The About box of the makers' programs: icon, program name and version, a description and
// a notice, with an OK button.
#pragma once

#include "plinth/plinth_api.h"

#include <QDialog>

class PLINTH_API CKVAboutDlg : public QDialog
{
    Q_OBJECT

public:
    CKVAboutDlg(const QString& program, const QString& description, const QString& notice,
                QWidget* parent = nullptr);
    ~CKVAboutDlg() override;

    int DoModal() { return exec(); }
};
