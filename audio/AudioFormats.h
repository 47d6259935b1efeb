#pragma once

#include <QString>
#include <QStringList>

#include <string>
#include <string_view>

namespace horavia {

// One row of the audio library's format table (audio/lib/AudioFormats.def, which says how the rows are
// read): a stream-creating call of one module, and the file-name extensions the player tries it for.
struct TAudioFormat {
    std::string_view module;     // "core" (the library itself) or the name of a plug-in
    const char* entry;           // the call's exported name, shaped like BASS_StreamCreateFile
    std::string_view extensions; // lower case, each with its dot, separated by spaces
    bool built;                  // a module of this library plays these files (not so for CD tracks)
};

inline constexpr TAudioFormat AudioFormats[] = {
#define HORAVIA_AUDIO_FORMAT(module, entry, family, extensions)                                                        \
    {#module, #entry, extensions, std::string_view(#family) != "None"},
#include "audio/lib/AudioFormats.def"
#undef HORAVIA_AUDIO_FORMAT
};

inline constexpr std::string_view CoreModule = "core";

// The extension of a file name: from the last dot of its last part, the dot included, in lower case; empty
// when it has none.
QString ExtensionOf(const QString& fileName);
// Whether the player tries this row for the extension (as ExtensionOf gives it).
bool Plays(const TAudioFormat& format, const QString& extension);
// Whether the table has a row for the file's extension: the player opens nothing else.
bool KnownFormat(const QString& fileName);
// The module's file, as the loader looks for it: libhoravia-audio.so for the core,
// libhoravia-audio-<module>.so for a plug-in.
std::string ModuleFile(std::string_view module);
// The files a sound can be chosen from, as the file dialog's patterns ("*.mp3", "*.ogg", ...): the
// extensions that a module of this library plays, in table order, each once.
QStringList SoundFilePatterns();

} // namespace horavia
