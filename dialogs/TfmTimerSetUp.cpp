#include "dialogs/TfmTimerSetUp.h"

#include "base/RemindIntervals.h"
#include "base/Links.h"
#include "dialogs/DialogLayout.h"
#include "dialogs/HelpKey.h"
#include "texts/RemindIntervalItems.h"
#include "dialogs/TLinkLabel.h"
#include "dialogs/TSpinEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

namespace horavia {
namespace {

QDateTime ToQDateTime(TDateTime t) {
    const DateTimeParts p = DecodeDateTime(t);
    return {QDate(p.year, p.month, p.day), QTime(p.hour, p.minute, p.second, p.millisecond)};
}

TDateTime FromQDateTime(const QDateTime& dt) {
    const QDate d = dt.date();
    const QTime t = dt.time();
    return EncodeDateTime({d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second(), t.msec()});
}

QLabel* PlainLabel(const QString& text, int left, int top, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->move(left, top);
    label->adjustSize();
    return label;
}

} // namespace

TfmTimerSetUp::TfmTimerSetUp(const Clock& clock, Shell& shell, const Settings& settings, const bool& siblingInstalled,
                             QWidget* owner)
    : QDialog(owner, FixedDialogFlags), clock_(clock), shell_(shell), settings_(settings),
      siblingInstalled_(siblingInstalled) {
    setWindowTitle(QStringLiteral("计时器设置"));
    setFixedSize(360, 325);
    setFont(DialogFont());
    const QFont bold = DialogFont(true);

    rbRelativeTime = Place(new QRadioButton(QStringLiteral("相对时间"), this), 20, 14, 320, 17);
    rbRelativeTime->setFont(bold);
    rbRelativeTime->setChecked(true);
    seHours = Place(new TSpinEdit(0, 99, 1, this), 36, 40, 37, 22);
    seMins = Place(new TSpinEdit(0, 59, 5, this), 140, 40, 37, 22);
    seSecs = Place(new TSpinEdit(0, 59, 10, this), 244, 40, 37, 22);
    rbAbsoluteTime = Place(new QRadioButton(QStringLiteral("绝对时间"), this), 20, 76, 320, 17);
    rbAbsoluteTime->setFont(bold);
    dtpTime = Place(new QDateTimeEdit(this), 36, 104, 141, 21);
    dtpTime->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    chbVoiceRemind = Place(new QCheckBox(QStringLiteral("使用语音合成提醒我"), this), 20, 140, 321, 17);
    cbRemindInterval = Place(new QComboBox(this), 116, 168, 145, 21);
    cbRemindInterval->addItems(RemindIntervalItems());
    cbRemindInterval->setCurrentIndex(0);
    cbRemindInterval->setEnabled(false);
    chbAutoIncrease = Place(new QCheckBox(QStringLiteral("增加自动提醒频率"), this), 44, 200, 297, 29);
    chbAutoIncrease->setEnabled(false);
    Button1 = Place(new QPushButton(QStringLiteral("确定"), this), 100, 280, 75, 25);
    Button2 = Place(new QPushButton(QStringLiteral("取消"), this), 184, 280, 75, 25);
    // No default button: Enter does not confirm, so every field loses the focus before OK.
    for (QPushButton* b : {Button1, Button2}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }

    PlainLabel(QStringLiteral("小时"), 80, 44, this)->setObjectName(QStringLiteral("Label1"));
    PlainLabel(QStringLiteral("分钟"), 184, 44, this)->setObjectName(QStringLiteral("Label2"));
    PlainLabel(QStringLiteral("秒"), 288, 44, this)->setObjectName(QStringLiteral("Label3"));
    lbRemind = Place(new QLabel(QStringLiteral("每天提醒"), this), 16, 172, 93, 14);
    lbRemind->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lbRemind->setEnabled(false);
    lbRousely = Place(new TLinkLabel(QStringLiteral("需要更多功能吗?尝试 Rousely 吧！"), this), 20, 248, 320, 16);
    lbRousely->setAlignment(Qt::AlignHCenter);

    const std::pair<QWidget*, const char*> names[] = {{rbRelativeTime, "rbRelativeTime"},
                                                      {seHours, "seHours"},
                                                      {seMins, "seMins"},
                                                      {seSecs, "seSecs"},
                                                      {rbAbsoluteTime, "rbAbsoluteTime"},
                                                      {dtpTime, "dtpTime"},
                                                      {chbVoiceRemind, "chbVoiceRemind"},
                                                      {cbRemindInterval, "cbRemindInterval"},
                                                      {chbAutoIncrease, "chbAutoIncrease"},
                                                      {lbRemind, "lbRemind"},
                                                      {lbRousely, "lbRousely"},
                                                      {Button1, "Button1"},
                                                      {Button2, "Button2"}};
    for (const auto& [widget, name] : names) {
        widget->setObjectName(QLatin1String(name));
    }
    setTabOrder(rbRelativeTime, seHours);
    setTabOrder(seHours, seMins);
    setTabOrder(seMins, seSecs);
    setTabOrder(seSecs, rbAbsoluteTime);
    setTabOrder(rbAbsoluteTime, dtpTime);
    setTabOrder(dtpTime, chbVoiceRemind);
    setTabOrder(chbVoiceRemind, cbRemindInterval);
    setTabOrder(cbRemindInterval, chbAutoIncrease);
    setTabOrder(chbAutoIncrease, Button1);
    setTabOrder(Button1, Button2);

    connect(seHours, &TSpinEdit::changed, this, [this] { seHoursChange(); });
    connect(seMins, &TSpinEdit::changed, this, [this] { seMinsChange(); });
    connect(seSecs, &TSpinEdit::changed, this, [this] { seSecsChange(); });
    connect(dtpTime, &QDateTimeEdit::dateTimeChanged, this, [this] {
        if (!settingPicker_) {
            dtpTimeChange();
        }
    });
    connect(chbVoiceRemind, &QCheckBox::clicked, this, [this] { ApplyEnablingRule(); });
    connect(lbRousely, &TLinkLabel::clicked, this, [this] { shell_.OpenUrl(SiblingPageUrl); });
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    for (QWidget* w : {static_cast<QWidget*>(seHours), static_cast<QWidget*>(seMins), static_cast<QWidget*>(seSecs),
                       static_cast<QWidget*>(dtpTime)}) {
        w->installEventFilter(this);
        for (QObject* child : w->children()) {
            child->installEventFilter(this); // the line edit inside takes the clicks
        }
    }
    new HelpKey(this, [this] { shell_.OpenHelpTopic(QStringLiteral("Timer.htm")); });
}

CountdownRequest TfmTimerSetUp::Request() const {
    CountdownRequest r;
    r.RelativeTime = rbRelativeTime->isChecked();
    r.Hours = seHours->Value();
    r.Minutes = seMins->Value();
    r.Seconds = seSecs->Value();
    r.AbsoluteTime = PickerValue();
    r.VoiceRemind = chbVoiceRemind->isChecked();
    r.RemindIndex = cbRemindInterval->currentIndex();
    r.AutoIncrease = chbAutoIncrease->isChecked();
    return r;
}

TDateTime TfmTimerSetUp::PickerValue() const {
    return FromQDateTime(dtpTime->dateTime());
}

void TfmTimerSetUp::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}

void TfmTimerSetUp::FormShow() {
    seHours->SetValue(0);
    seMins->SetValue(0);
    seSecs->SetValue(0);
    const TDateTime now = clock_.Now();
    earliest_ = ToQDateTime(now);
    SetPicker(now);
    lbRousely->setVisible(!siblingInstalled_);
    chbVoiceRemind->setChecked(settings_.TimerTTS);
    ApplyEnablingRule();
    chbAutoIncrease->setChecked(settings_.AutoIncreaseRemindFreq);
    cbRemindInterval->setCurrentIndex(RemindIndexOf(settings_.RemindPeriod));
}

void TfmTimerSetUp::ApplyEnablingRule() {
    const bool on = chbVoiceRemind->isChecked();
    lbRemind->setEnabled(on);
    cbRemindInterval->setEnabled(on);
    chbAutoIncrease->setEnabled(on);
}

void TfmTimerSetUp::SetPicker(TDateTime value) {
    static const QDateTime latest(QDate(9999, 12, 31), QTime(23, 59, 59, 999)); // the picker holds no later
    QDateTime target = std::min(ToQDateTime(value), latest);
    if (earliest_.isValid()) {
        target = std::max(target, earliest_);
    }
    // A picker that shows only the time of day keeps its range within the day of its value, with the
    // times of day of its earliest and latest values. On a later day than the moment of showing the
    // whole day must be open, or it would hold the time of day at or after that moment's.
    const QDateTime dayStart = target.date().startOfDay();
    settingPicker_ = true;
    dtpTime->setDateTimeRange(earliest_.isValid() && earliest_ > dayStart ? earliest_ : dayStart,
                              target.date().endOfDay());
    dtpTime->setDateTime(target);
    settingPicker_ = false;
}

// In 64 bits: a typed value stands unclamped until the field is left, and hours of up to a billion
// times 3600 do not fit in an int.
std::int64_t TfmTimerSetUp::DurationSeconds() const {
    return std::int64_t{seHours->Value()} * 3600 + std::int64_t{seMins->Value()} * 60 + seSecs->Value();
}

void TfmTimerSetUp::seHoursChange() {
    SetPicker(AddSeconds(clock_.Now(), DurationSeconds()));
    rbRelativeTime->setChecked(true);
}

// 59 carries into the next field, so that stepping up wraps and neither field ever rests at 59.
void TfmTimerSetUp::seMinsChange() {
    SetPicker(AddSeconds(clock_.Now(), DurationSeconds()));
    if (seMins->Value() == 59) {
        seHours->SetValue(std::min(seHours->Value() + 1, 99));
        seMins->SetValue(0);
        SetPicker(AddSeconds(clock_.Now(), DurationSeconds()));
    }
    rbRelativeTime->setChecked(true);
}

void TfmTimerSetUp::seSecsChange() {
    SetPicker(AddSeconds(clock_.Now(), DurationSeconds()));
    if (seSecs->Value() == 59) {
        seMins->SetValue(seMins->Value() + 1);
        seSecs->SetValue(0);
        SetPicker(AddSeconds(clock_.Now(), DurationSeconds()));
    }
    rbRelativeTime->setChecked(true);
}

void TfmTimerSetUp::dtpTimeChange() {
    const std::int64_t s = SecondsBetween(PickerValue(), clock_.Now());
    seHours->SetValue(static_cast<int>(s / 3600));
    seMins->SetValue(static_cast<int>(s % 3600 / 60));
    seSecs->SetValue(static_cast<int>(s % 60));
    rbAbsoluteTime->setChecked(true);
}

bool TfmTimerSetUp::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        const bool inPicker = watched == dtpTime || watched->parent() == dtpTime;
        (inPicker ? rbAbsoluteTime : rbRelativeTime)->setChecked(true);
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace horavia
