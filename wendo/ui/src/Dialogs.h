// The program's small dialogs: "Stop/Suspend" (503), asked while a run is suspended, and the
// help fallback (554), shown when the help pages cannot be shown.
#pragma once

#include "RunControl.h"

#include <QDialog>
#include <memory>

namespace Ui {
class Dialog503;
class Dialog554;
} // namespace Ui

namespace wendo::ui {

class CStopDialog : public QDialog
{
    Q_OBJECT

public:
    explicit CStopDialog(QWidget* parent = nullptr);
    ~CStopDialog() override;
    // Cancel, or OK with the choice made.
    StopChoice Choice() const;

private:
    std::unique_ptr<Ui::Dialog503> m_ui;
};

class CHelpFallbackDialog : public QDialog
{
    Q_OBJECT

public:
    // The address of the online help pages behind the dialog's link.
    static constexpr const char* kOnlineHelp = "https://wendo.korvel.example/help/";

    explicit CHelpFallbackDialog(QWidget* parent = nullptr);
    ~CHelpFallbackDialog() override;

private:
    std::unique_ptr<Ui::Dialog554> m_ui;
};

} // namespace wendo::ui
