<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>RemindInterval</name>
    <message>
        <source>分钟</source>
        <translation>minute</translation>
    </message>
    <message>
        <source>3 分钟</source>
        <translation>3 minutes</translation>
    </message>
    <message>
        <source>5 分钟</source>
        <translation>5 minutes</translation>
    </message>
    <message>
        <source>10 分钟</source>
        <translation>10 minutes</translation>
    </message>
    <message>
        <source>15 分钟</source>
        <translation>15 minutes</translation>
    </message>
    <message>
        <source>20 分钟</source>
        <translation>20 minutes</translation>
    </message>
    <message>
        <source>30 分钟</source>
        <translation>30 minutes</translation>
    </message>
    <message>
        <source>小时</source>
        <translation>hour</translation>
    </message>
    <message>
        <source>3 小时</source>
        <translation>3 hours</translation>
    </message>
    <message>
        <source>5 小时</source>
        <translation>5 hours</translation>
    </message>
</context>
<context>
    <name>StringTable</name>
    <message>
        <source>%s %s %s</source>
        <comment>65104 stopwatch&apos;s spoken elapsed time: hours, minutes, seconds</comment>
        <translation>%s %s %s</translation>
    </message>
    <message>
        <source>It&apos;s %s</source>
        <comment>65105 hourly announcement, time of day</comment>
        <translation>It&apos;s %s</translation>
    </message>
    <message>
        <source>时间到了。</source>
        <comment>65106 time-up message box</comment>
        <translation>Time is up.</translation>
    </message>
    <message>
        <source>版本</source>
        <comment>65107 prefix of the version line</comment>
        <translation>Version</translation>
    </message>
    <message>
        <source>选择声音文件</source>
        <comment>65108 title of the file dialog</comment>
        <translation>Choose a sound file</translation>
    </message>
    <message>
        <source>定时器</source>
        <comment>65125 timer tab</comment>
        <translation>Timer</translation>
    </message>
    <message>
        <source>码表</source>
        <comment>65126 stopwatch tab</comment>
        <translation>Stopwatch</translation>
    </message>
    <message>
        <source>时钟</source>
        <comment>65127 clock tab</comment>
        <translation>Clock</translation>
    </message>
    <message>
        <source>设置</source>
        <comment>65128 settings tab</comment>
        <translation>Settings</translation>
    </message>
    <message>
        <source>小时</source>
        <comment>65129 hour, after the number 1</comment>
        <translation>hour</translation>
    </message>
    <message>
        <source>小时</source>
        <comment>65130 hours, after any other number</comment>
        <translation>hours</translation>
    </message>
    <message>
        <source>分钟</source>
        <comment>65131 minute, after the number 1</comment>
        <translation>minute</translation>
    </message>
    <message>
        <source>分钟</source>
        <comment>65132 minutes, after any other number</comment>
        <translation>minutes</translation>
    </message>
    <message>
        <source>秒</source>
        <comment>65133 second, after the number 1</comment>
        <translation>second</translation>
    </message>
    <message>
        <source>秒</source>
        <comment>65134 seconds, after any other number</comment>
        <translation>seconds</translation>
    </message>
    <message>
        <source>还有 %s %s %s</source>
        <comment>65135 countdown&apos;s spoken reminder of the time left: hours, minutes, seconds</comment>
        <translation>Still %s %s %s to go</translation>
    </message>
    <message>
        <source>Unable to load library %s</source>
        <comment>65143 the audio library cannot be loaded</comment>
        <translation>Unable to load library %s</translation>
    </message>
    <message>
        <source>Unable to initialize sound playback subsystem.</source>
        <comment>65144 the audio library cannot be started</comment>
        <translation>Unable to initialize sound playback subsystem.</translation>
    </message>
</context>
<context>
    <name>TfmSettings</name>
    <message>
        <source>设置</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>常规</source>
        <translation>General</translation>
    </message>
    <message>
        <source>时间格式:</source>
        <translation>Time format:</translation>
    </message>
    <message>
        <source>12 小时</source>
        <translation>12-hour</translation>
    </message>
    <message>
        <source>24 小时</source>
        <translation>24-hour</translation>
    </message>
    <message>
        <source>语言:</source>
        <translation>Language:</translation>
    </message>
    <message>
        <source>最小化到系统托盘</source>
        <translation>Minimize to the system tray</translation>
    </message>
    <message>
        <source>通知</source>
        <translation>Notifications</translation>
    </message>
    <message>
        <source>显示信息框(&amp;S)</source>
        <translation>&amp;Show a message box</translation>
    </message>
    <message>
        <source>播放 .mp3, .ogg or .wav 文件</source>
        <translation>Play an .mp3, .ogg or .wav file</translation>
    </message>
    <message>
        <source>声音文件:</source>
        <translation>Sound file:</translation>
    </message>
    <message>
        <source>语音合成</source>
        <translation>Speech</translation>
    </message>
    <message>
        <source>启用语音合成:</source>
        <translation>Speak the time:</translation>
    </message>
    <message>
        <source>在定时器模式(&amp;T)</source>
        <translation>In &amp;timer mode</translation>
    </message>
    <message>
        <source>在码表模式(&amp;S)</source>
        <translation>In &amp;stopwatch mode</translation>
    </message>
    <message>
        <source>在时钟模式（钟声）(&amp;C)</source>
        <translation>In &amp;clock mode (chime)</translation>
    </message>
    <message>
        <source>语音:</source>
        <translation>Voice:</translation>
    </message>
    <message>
        <source>每天提醒</source>
        <translation>Remind every</translation>
    </message>
    <message>
        <source>自动增加提醒频率(&amp;A)</source>
        <translation>Remind more often &amp;as the end nears</translation>
    </message>
    <message>
        <source>其他语音设置</source>
        <translation>Other speech settings</translation>
    </message>
    <message>
        <source>关于...</source>
        <translation>About...</translation>
    </message>
    <message>
        <source>程序 © 2026 Horavia 开发者。保留所有权利。</source>
        <translation>Program © 2026 the Horavia developers. All rights reserved.</translation>
    </message>
    <message>
        <source>图片与图标 © 2026 Horavia 开发者。</source>
        <translation>Pictures and icons © 2026 the Horavia developers.</translation>
    </message>
    <message>
        <source>需要更多功能?尝试 Rousely 吧！</source>
        <translation>Need more features? Try Rousely!</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>声音文件</source>
        <translation>Sound files</translation>
    </message>
    <message>
        <source>声音文件的路径含有无效的字符，无法保存。</source>
        <translation>The sound file&apos;s path holds a character that cannot be saved.</translation>
    </message>
    <message>
        <source>声音文件的路径太长，无法保存。</source>
        <translation>The sound file&apos;s path is too long to be saved.</translation>
    </message>
    <message>
        <source>语音的名称含有无效的字符，无法保存。</source>
        <translation>The voice&apos;s name holds a character that cannot be saved.</translation>
    </message>
    <message>
        <source>语音的名称太长，无法保存。</source>
        <translation>The voice&apos;s name is too long to be saved.</translation>
    </message>
    <message>
        <source>没有找到桌面的语音设置程序。请在桌面的辅助功能设置中更改语音。</source>
        <translation>No speech settings program of the desktop was found. Please change the voice in the desktop&apos;s accessibility settings.</translation>
    </message>
    <message>
        <source>自动（说界面的语言）</source>
        <translation>Automatic (the interface&apos;s language)</translation>
    </message>
</context>
<context>
    <name>TfmTimerSetUp</name>
    <message>
        <source>计时器设置</source>
        <translation>Timer set-up</translation>
    </message>
    <message>
        <source>相对时间</source>
        <translation>Relative time</translation>
    </message>
    <message>
        <source>小时</source>
        <translation>hr</translation>
    </message>
    <message>
        <source>分钟</source>
        <translation>min</translation>
    </message>
    <message>
        <source>秒</source>
        <translation>sec</translation>
    </message>
    <message>
        <source>绝对时间</source>
        <translation>Absolute time</translation>
    </message>
    <message>
        <source>使用语音合成提醒我</source>
        <translation>Remind me by speech</translation>
    </message>
    <message>
        <source>每天提醒</source>
        <translation>Remind every</translation>
    </message>
    <message>
        <source>增加自动提醒频率</source>
        <translation>Remind more often as the end nears</translation>
    </message>
    <message>
        <source>需要更多功能吗?尝试 Rousely 吧！</source>
        <translation>Need more features? Try Rousely!</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
</TS>
