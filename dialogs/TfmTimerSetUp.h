#pragma once

#include "base/Clock.h"
#include "engine/CountdownRequest.h"
#include "platform/Shell.h"
#include "settings/Settings.h"

#include "ui_TfmTimerSetUp.h"

#include <QDateTime>
#include <QDialog>

#include <cstdint>

namespace horavia {

// The modal dialog in which a countdown is set up: a duration in hours, minutes and seconds, or a
// time of day, and the spoken reminders. One instance lives as long as the main window; its
// reminder controls stay the options of the running countdown. The controls, their places, texts and
// tab order come from TfmTimerSetUp.ui and are members by the names they have there.
class TfmTimerSetUp final : public QDialog, public Ui::TfmTimerSetUp {
    Q_OBJECT

public:
    TfmTimerSetUp(const Clock& clock, Shell& shell, const Settings& settings, const bool& siblingInstalled,
                  QWidget* owner);

    // What the controls hold now, as the countdown's start reads them after OK.
    CountdownRequest Request() const;
    // The picker's date and time.
    TDateTime PickerValue() const;

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormShow();
    void ApplyEnablingRule();
    void SetPicker(TDateTime value);
    std::int64_t DurationSeconds() const;
    void seHoursChange();
    void seMinsChange();
    void seSecsChange();
    void dtpTimeChange();

    const Clock& clock_;
    Shell& shell_;
    const Settings& settings_;
    const bool& siblingInstalled_;
    bool settingPicker_ = false;
    QDateTime earliest_; // the moment of showing: the picker holds nothing earlier
};

} // namespace horavia
