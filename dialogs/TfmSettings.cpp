#include "dialogs/TfmSettings.h"

#include "base/Links.h"
#include "base/Log.h"
#include "base/RemindIntervals.h"
#include "dialogs/DialogLayout.h"
#include "dialogs/HelpKey.h"
#include "dialogs/TLinkLabel.h"
#include "platform/ExeVer.h"
#include "platform/SpeechSettingsCommand.h"
#include "settings/SettingsStore.h"
#include "texts/RemindIntervalItems.h"
#include "texts/Texts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>
#include <QTabWidget>
#include <QUrl>

// The pictures live in a static library: referencing their initializer keeps the linker from dropping
// them, and Q_INIT_RESOURCE must be used outside any namespace.
static void InitSettingsImages() {
    Q_INIT_RESOURCE(horavia_images);
}

namespace horavia {
namespace {

// Every format the sound player plays. The description is the pattern list as users know it; the
// patterns in parentheses, separated by blanks, are what the file dialog matches with.
const QString SoundFileFilter = QStringLiteral("*.mp3;*.ogg;*.wav;*.wma;*.wmv;*.aac;*.m4a;*.ape;*.flac;*.opus;*.oga "
                                               "(*.mp3 *.ogg *.wav *.wma *.wmv *.aac *.m4a *.ape *.flac *.opus *.oga)");

// The sound file dialog opens where the current sound lies, else in the desktop's sound folder, else at home.
QString SoundDialogFolder(const QString& currentSound) {
    if (!currentSound.isEmpty()) {
        const QDir folder = QFileInfo(currentSound).absoluteDir();
        if (folder.exists()) {
            return folder.absolutePath();
        }
    }
    const QString desktopSounds = QStringLiteral("/usr/share/sounds");
    return QDir(desktopSounds).exists() ? desktopSounds : QDir::homePath();
}

const QString MessageTitle = QStringLiteral("Horavia");

QLabel* BoldLabel(const QString& text, const QFont& bold, QWidget* parent, Qt::Alignment alignment) {
    auto* label = new QLabel(text, parent);
    label->setFont(bold);
    label->setAlignment(alignment | Qt::AlignVCenter);
    return label;
}

TLinkLabel* LinkLabel(const QString& text, QWidget* parent) {
    auto* label = new TLinkLabel(parent);
    label->setText(text);
    return label;
}

QPixmap StopwatchPicture() {
    const QPixmap picture(QStringLiteral(":/horavia/images/Buttons/chrono_norm_48.png"));
    if (picture.isNull()) {
        qCWarning(lcSettings) << "the stopwatch picture is missing from the resources";
        return {};
    }
    return picture.scaled(72, 72, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

// The maker's mark: the program icon beside the name in small grey letters, on a transparent ground.
QPixmap LogoPicture() {
    QPixmap logo(100, 43);
    logo.fill(Qt::transparent);
    QPainter painter(&logo);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QPixmap icon(QStringLiteral(":/horavia/icons/horavia-64.png"));
    if (!icon.isNull()) {
        painter.drawPixmap(QRect(2, 3, 37, 37), icon);
    }
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(13);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(0x70, 0x70, 0x70));
    painter.drawText(QRect(42, 0, 58, 43), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("horavia"));
    return logo;
}

// Checks or unchecks a radio button even when it is its group's checked one, which Qt refuses for
// auto-exclusive buttons; a stored format other than 0 and 1 must show neither button checked.
void ForceChecked(QRadioButton* button, bool checked) {
    const bool exclusive = button->autoExclusive();
    button->setAutoExclusive(false);
    button->setChecked(checked);
    button->setAutoExclusive(exclusive);
}

// Why text cannot be kept in the store, in the words shown to the user; empty when it can.
QString StoreRefusal(const QString& text, const QString& what) {
    if (FitsStore(text)) {
        return {};
    }
    if (text.contains(QChar(0))) {
        return what + QStringLiteral("含有无效的字符，无法保存。");
    }
    return what + QStringLiteral("太长，无法保存。");
}

} // namespace

TfmSettings::TfmSettings(Settings& settings, SpeechVoice& voice, Shell& shell, const bool& siblingInstalled,
                         TFormatSettings& displayFormat, TrayChange trayChange, QWidget* owner)
    : QDialog(owner, FixedDialogFlags), StartProgram([](const QString& program, const QStringList& arguments) {
          return QProcess::startDetached(program, arguments);
      }),
      settings_(settings), voice_(voice), shell_(shell), siblingInstalled_(siblingInstalled),
      displayFormat_(displayFormat), trayChange_(std::move(trayChange)) {
    InitSettingsImages();
    setWindowTitle(QStringLiteral("设置"));
    setFixedSize(521, 345);
    setFont(DialogFont());
    const QFont bold = DialogFont(true);

    Image1 = Place(new QLabel(this), 20, 14, 72, 72);
    Image1->setPixmap(StopwatchPicture());
    Image1->setAlignment(Qt::AlignCenter);
    pcSettings = Place(new QTabWidget(this), 112, 14, 389, 259);
    CreateGeneralTab(bold);
    CreateNotificationsTab(bold);
    CreateSpeechTab(bold);
    CreateAboutTab();

    lbRousely = Place(LinkLabel(QStringLiteral("需要更多功能?尝试 Rousely 吧！"), this), 112, 280, 389, 16);
    lbRousely->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    bnOK = Place(new QPushButton(QStringLiteral("确定"), this), 346, 308, 75, 25);
    bnOK->setDefault(true);
    bnCancel = Place(new QPushButton(QStringLiteral("取消"), this), 426, 308, 75, 25);

    dlgSound = new QFileDialog(this);
    dlgSound->setFileMode(QFileDialog::ExistingFile);
    dlgSound->setAcceptMode(QFileDialog::AcceptOpen);
    dlgSound->setOption(QFileDialog::HideNameFilterDetails);
    dlgSound->setNameFilter(SoundFileFilter);

    const std::pair<QObject*, const char*> names[] = {{Image1, "Image1"},
                                                      {pcSettings, "pcSettings"},
                                                      {tsGeneral, "tsGeneral"},
                                                      {lbTimeFormat, "lbTimeFormat"},
                                                      {rb12hour, "rb12hour"},
                                                      {rb24hour, "rb24hour"},
                                                      {lbLanguage, "lbLanguage"},
                                                      {cbLanguages, "cbLanguages"},
                                                      {chbMinToSysTray, "chbMinToSysTray"},
                                                      {tsNotifications, "tsNotifications"},
                                                      {chbShowMsgBox, "chbShowMsgBox"},
                                                      {chbPlaySound, "chbPlaySound"},
                                                      {lbSound, "lbSound"},
                                                      {edSound, "edSound"},
                                                      {bnSound, "bnSound"},
                                                      {TntTabSheet3, "TntTabSheet3"},
                                                      {lbEnableVoice, "lbEnableVoice"},
                                                      {chbVoiceTimer, "chbVoiceTimer"},
                                                      {chbVoiceStopwatch, "chbVoiceStopwatch"},
                                                      {chbVoiceClock, "chbVoiceClock"},
                                                      {lbVoiceName, "lbVoiceName"},
                                                      {cbVoiceNames, "cbVoiceNames"},
                                                      {lbRemindEvery, "lbRemindEvery"},
                                                      {cbRemindFrequency, "cbRemindFrequency"},
                                                      {chbAutoIncrease, "chbAutoIncrease"},
                                                      {lbSpeechOther, "lbSpeechOther"},
                                                      {tsAbout, "tsAbout"},
                                                      {Shape1, "Shape1"},
                                                      {TntLabel2, "TntLabel2"},
                                                      {lbVersion, "lbVersion"},
                                                      {Image2, "Image2"},
                                                      {lbWeb, "lbWeb"},
                                                      {lbMail, "lbMail"},
                                                      {lbProgramNotice, "lbProgramNotice"},
                                                      {lbArtworkNotice, "lbArtworkNotice"},
                                                      {lbRousely, "lbRousely"},
                                                      {bnOK, "bnOK"},
                                                      {bnCancel, "bnCancel"},
                                                      {dlgSound, "dlgSound"}};
    for (const auto& [object, name] : names) {
        object->setObjectName(QLatin1String(name));
    }

    // One chain through the pages in their order; Qt skips the controls of the pages not shown.
    QWidget* const tabOrder[] = {
        pcSettings,   rb12hour,          rb24hour,        cbLanguages,   chbMinToSysTray,   chbShowMsgBox,
        chbPlaySound, edSound,           bnSound,         chbVoiceTimer, chbVoiceStopwatch, chbVoiceClock,
        cbVoiceNames, cbRemindFrequency, chbAutoIncrease, bnOK,          bnCancel};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i) {
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    }

    connect(chbPlaySound, &QCheckBox::clicked, this, [this] { chbPlaySoundClick(); });
    connect(bnSound, &QPushButton::clicked, this, [this] { bnSoundClick(); });
    connect(lbSpeechOther, &TLinkLabel::clicked, this, [this] { lbSpeechOtherClick(); });
    connect(lbWeb, &TLinkLabel::clicked, this, [this] { shell_.OpenUrl(ProductPageUrl); });
    connect(lbMail, &TLinkLabel::clicked, this, [this] { shell_.OpenUrl(SupportMailUrl); });
    connect(lbRousely, &TLinkLabel::clicked, this, [this] { shell_.OpenUrl(SiblingPageUrl); });
    connect(bnOK, &QPushButton::clicked, this, [this] { bnOKClick(); });
    connect(bnCancel, &QPushButton::clicked, this, &QDialog::reject);
    new HelpKey(this, [this] { shell_.OpenHelpTopic(QStringLiteral("Settings.htm")); });
}

void TfmSettings::CreateGeneralTab(const QFont& bold) {
    tsGeneral = new QWidget;
    pcSettings->addTab(tsGeneral, QStringLiteral("常规"));
    lbTimeFormat = Place(BoldLabel(QStringLiteral("时间格式:"), bold, tsGeneral, Qt::AlignRight), 8, 18, 100, 14);
    rb12hour = Place(new QRadioButton(QStringLiteral("12 小时"), tsGeneral), 120, 16, 200, 17);
    rb24hour = Place(new QRadioButton(QStringLiteral("24 小时"), tsGeneral), 120, 38, 200, 17);
    lbLanguage = Place(BoldLabel(QStringLiteral("语言:"), bold, tsGeneral, Qt::AlignRight), 8, 78, 100, 14);
    cbLanguages = Place(new QComboBox(tsGeneral), 120, 74, 161, 21);
    cbLanguages->addItem(QStringLiteral("简体中文"));
    chbMinToSysTray = Place(new QCheckBox(QStringLiteral("最小化到系统托盘"), tsGeneral), 120, 112, 250, 17);
}

void TfmSettings::CreateNotificationsTab(const QFont& bold) {
    tsNotifications = new QWidget;
    pcSettings->addTab(tsNotifications, QStringLiteral("通知"));
    chbShowMsgBox = Place(new QCheckBox(QStringLiteral("显示信息框(&S)"), tsNotifications), 16, 16, 350, 17);
    chbPlaySound =
        Place(new QCheckBox(QStringLiteral("播放 .mp3, .ogg or .wav 文件"), tsNotifications), 16, 44, 350, 17);
    QFont small = font();
    small.setPixelSize(9);
    QFont smallBold = bold;
    smallBold.setPixelSize(9);
    lbSound = Place(BoldLabel(QStringLiteral("声音文件:"), smallBold, tsNotifications, Qt::AlignLeft), 34, 72, 120, 13);
    edSound = Place(new QLineEdit(tsNotifications), 34, 88, 300, 19);
    edSound->setFont(small);
    bnSound = Place(new QPushButton(QStringLiteral("..."), tsNotifications), 338, 88, 19, 19);
    bnSound->setFont(small);
    bnSound->setAutoDefault(false);
    for (QWidget* w :
         {static_cast<QWidget*>(lbSound), static_cast<QWidget*>(edSound), static_cast<QWidget*>(bnSound)}) {
        w->setEnabled(false);
    }
}

void TfmSettings::CreateSpeechTab(const QFont& bold) {
    TntTabSheet3 = new QWidget;
    pcSettings->addTab(TntTabSheet3, QStringLiteral("语音合成"));
    lbEnableVoice =
        Place(BoldLabel(QStringLiteral("启用语音合成:"), bold, TntTabSheet3, Qt::AlignRight), 8, 14, 100, 30);
    lbEnableVoice->setAlignment(Qt::AlignRight | Qt::AlignTop);
    lbEnableVoice->setWordWrap(true);
    chbVoiceTimer = Place(new QCheckBox(QStringLiteral("在定时器模式(&T)"), TntTabSheet3), 120, 14, 250, 17);
    chbVoiceStopwatch = Place(new QCheckBox(QStringLiteral("在码表模式(&S)"), TntTabSheet3), 120, 36, 250, 17);
    chbVoiceClock = Place(new QCheckBox(QStringLiteral("在时钟模式（钟声）(&C)"), TntTabSheet3), 120, 58, 250, 17);
    lbVoiceName = Place(BoldLabel(QStringLiteral("语音:"), bold, TntTabSheet3, Qt::AlignRight), 8, 96, 100, 14);
    cbVoiceNames = Place(new QComboBox(TntTabSheet3), 120, 92, 250, 21);
    lbRemindEvery = Place(BoldLabel(QStringLiteral("每天提醒"), bold, TntTabSheet3, Qt::AlignRight), 8, 128, 100, 14);
    cbRemindFrequency = Place(new QComboBox(TntTabSheet3), 120, 124, 145, 21);
    cbRemindFrequency->addItems(RemindIntervalItems());
    chbAutoIncrease = Place(new QCheckBox(QStringLiteral("自动增加提醒频率(&A)"), TntTabSheet3), 120, 154, 250, 30);
    lbSpeechOther = Place(LinkLabel(QStringLiteral("其他语音设置"), TntTabSheet3), 0, 200, 381, 16);
    lbSpeechOther->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
}

void TfmSettings::CreateAboutTab() {
    tsAbout = new QWidget;
    pcSettings->addTab(tsAbout, QStringLiteral("关于..."));
    Image2 = Place(new QLabel(tsAbout), 12, 10, 100, 43);
    Image2->setPixmap(LogoPicture());
    QFont title = font();
    title.setPixelSize(21);
    title.setBold(true);
    TntLabel2 = Place(new QLabel(QStringLiteral("Horavia"), tsAbout), 150, 8, 220, 28);
    TntLabel2->setFont(title);
    TntLabel2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QPalette grey = TntLabel2->palette();
    grey.setColor(QPalette::WindowText, Qt::gray);
    TntLabel2->setPalette(grey);
    lbVersion = Place(new QLabel(tsAbout), 150, 38, 220, 14);
    lbVersion->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Shape1 = Place(new QFrame(tsAbout), 12, 62, 357, 1);
    Shape1->setFrameShape(QFrame::HLine);
    Shape1->setFrameShadow(QFrame::Plain);
    Shape1->setPalette(grey);
    lbWeb = Place(LinkLabel(QUrl(ProductSite).host(), tsAbout), 0, 92, 381, 16);
    lbWeb->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    lbMail = Place(LinkLabel(SupportMailAddress, tsAbout), 0, 114, 381, 16);
    lbMail->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    lbProgramNotice =
        Place(new QLabel(QStringLiteral("程序 © 2026 Horavia 开发者。保留所有权利。"), tsAbout), 0, 176, 381, 14);
    lbProgramNotice->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    lbArtworkNotice = Place(new QLabel(QStringLiteral("图片与图标 © 2026 Horavia 开发者。"), tsAbout), 0, 194, 381, 14);
    lbArtworkNotice->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
}

void TfmSettings::showEvent(QShowEvent* event) {
    // A spontaneous show is the window coming back from being minimized: nothing to refill.
    if (!event->spontaneous()) {
        FormShow();
        // Centred on the desktop rather than over the small main window.
        if (const QScreen* desktop = screen()) {
            move(desktop->availableGeometry().center() - rect().center());
        }
    }
    QDialog::showEvent(event);
}

void TfmSettings::FormShow() {
    lbVersion->setText(LoadStr(StringId::Version) + QLatin1Char(' ') + FormatExeVersion(GetExeVersion()));

    cbVoiceNames->clear();
    try {
        cbVoiceNames->addItems(voice_.GetVoices());
    } catch (const SpeechError& e) {
        // The dialog is still useful without voices; the list stays empty and OK leaves the voice alone.
        qCWarning(lcSettings) << "cannot list the speech voices:" << e.what();
    }

    SetTimeFormatButtons(settings_.TimeFormat);
    cbLanguages->setCurrentIndex(settings_.Language);

    chbMinToSysTray->setChecked(settings_.MinimizeToTray);
    chbShowMsgBox->setChecked(settings_.ShowMsgBox);
    chbPlaySound->setChecked(settings_.PlaySound);
    edSound->setText(settings_.SoundFile);
    chbPlaySoundClick();

    chbVoiceTimer->setChecked(settings_.TimerTTS);
    chbVoiceStopwatch->setChecked(settings_.StopwatchTTS);
    chbVoiceClock->setChecked(settings_.ClockTTS);

    int voiceIndex = cbVoiceNames->count() > 0 ? 0 : -1;
    for (int i = 0; i < cbVoiceNames->count(); ++i) {
        if (cbVoiceNames->itemText(i).compare(settings_.VoiceName, Qt::CaseInsensitive) == 0) {
            voiceIndex = i;
            break;
        }
    }
    cbVoiceNames->setCurrentIndex(voiceIndex);

    cbRemindFrequency->setCurrentIndex(RemindIndexOf(settings_.RemindPeriod));
    chbAutoIncrease->setChecked(settings_.AutoIncreaseRemindFreq);

    lbRousely->setVisible(!siblingInstalled_);
    pcSettings->setTabVisible(pcSettings->indexOf(tsAbout), !siblingInstalled_);
    pcSettings->setCurrentWidget(tsGeneral);
}

void TfmSettings::SetTimeFormatButtons(std::uint8_t timeFormat) {
    ForceChecked(rb12hour, timeFormat == 0);
    ForceChecked(rb24hour, timeFormat == 1);
}

void TfmSettings::chbPlaySoundClick() {
    const bool on = chbPlaySound->isChecked();
    lbSound->setEnabled(on);
    edSound->setEnabled(on);
    bnSound->setEnabled(on);
}

void TfmSettings::bnSoundClick() {
    dlgSound->setWindowTitle(LoadStr(StringId::ChooseSoundFile));
    dlgSound->setDirectory(SoundDialogFolder(edSound->text()));
    if (dlgSound->exec() != QDialog::Accepted) {
        return;
    }
    const QStringList files = dlgSound->selectedFiles();
    if (!files.isEmpty()) {
        edSound->setText(QDir::toNativeSeparators(files.first()));
    }
}

void TfmSettings::bnOKClick() {
    // The store cannot hold every text the controls can: such a value is refused before anything is
    // changed, so the user can shorten it or cancel, rather than losing it at the save.
    const bool voiceChosen = cbVoiceNames->count() > 0 && cbVoiceNames->currentIndex() >= 0;
    const QString voiceName = voiceChosen ? cbVoiceNames->currentText() : QString();
    for (const QString& refusal : {StoreRefusal(edSound->text(), QStringLiteral("声音文件的路径")),
                                   StoreRefusal(voiceName, QStringLiteral("语音的名称"))}) {
        if (!refusal.isEmpty()) {
            qCWarning(lcSettings) << "settings not accepted:" << refusal;
            QMessageBox::warning(this, MessageTitle, refusal);
            return;
        }
    }

    if (rb12hour->isChecked()) {
        settings_.TimeFormat = 0;
    } else if (rb24hour->isChecked()) {
        settings_.TimeFormat = 1;
    }
    settings_.Language = cbLanguages->currentIndex();
    ApplyTimeFormat(settings_.TimeFormat, displayFormat_);

    settings_.MinimizeToTray = chbMinToSysTray->isChecked();
    if (trayChange_) {
        trayChange_(settings_.MinimizeToTray);
    }

    settings_.ShowMsgBox = chbShowMsgBox->isChecked();
    settings_.PlaySound = chbPlaySound->isChecked();
    settings_.SoundFile = edSound->text();

    settings_.TimerTTS = chbVoiceTimer->isChecked();
    settings_.StopwatchTTS = chbVoiceStopwatch->isChecked();
    settings_.ClockTTS = chbVoiceClock->isChecked();

    if (voiceChosen) {
        try {
            SelectVoice(settings_, voice_, voiceName);
        } catch (const SpeechError& e) {
            // The name is kept for the next start; the rest of the settings still apply.
            qCWarning(lcSettings) << "cannot switch to the voice" << voiceName << ":" << e.what();
        }
    }

    settings_.RemindPeriod = RemindPeriodAt(cbRemindFrequency->currentIndex());
    settings_.AutoIncreaseRemindFreq = chbAutoIncrease->isChecked();
    accept();
}

void TfmSettings::lbSpeechOtherClick() {
    const std::optional<SpeechSettingsCommand> command = FindSpeechSettingsCommand();
    if (command && StartProgram && StartProgram(command->Program, command->Arguments)) {
        return;
    }
    if (command) {
        qCWarning(lcSettings) << "cannot start" << command->Program;
    } else {
        qCWarning(lcSettings) << "no speech settings program found on PATH";
    }
    QMessageBox::information(this, MessageTitle,
                             QStringLiteral("没有找到桌面的语音设置程序。请在桌面的辅助功能设置中更改语音。"));
}

} // namespace horavia
