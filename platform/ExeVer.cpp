#include "platform/ExeVer.h"

#include "base/Log.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <optional>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace horavia {
namespace {

// HORAVIA_VERSION ("0.1.0") split into its parts at compile time; a missing part is 0, and a version
// the block cannot carry stops the build instead of shipping a wrong number.
constexpr ExeVersion ParseVersion(std::string_view text) {
    std::uint32_t parts[4]{};
    std::size_t index = 0;
    bool digit = false;
    for (const char c : text) {
        if (c == '.') {
            if (!digit || ++index > 3) {
                throw std::invalid_argument("malformed program version");
            }
            digit = false;
            continue;
        }
        if (c < '0' || c > '9') {
            throw std::invalid_argument("malformed program version");
        }
        parts[index] = parts[index] * 10 + static_cast<std::uint32_t>(c - '0');
        if (parts[index] > 0xFFFF) {
            throw std::invalid_argument("program version part above 65535");
        }
        digit = true;
    }
    if (!digit) {
        throw std::invalid_argument("malformed program version");
    }
    return {static_cast<std::uint16_t>(parts[0]), static_cast<std::uint16_t>(parts[1]),
            static_cast<std::uint16_t>(parts[2]), static_cast<std::uint16_t>(parts[3])};
}

constexpr ExeVersion BuiltVersion = ParseVersion(HORAVIA_VERSION);

struct VersionNote {
    std::uint32_t nameSize;
    std::uint32_t descSize;
    std::uint32_t type;
    char name[sizeof(VersionNoteOwner)];
    std::uint16_t parts[4];
};
static_assert(sizeof(VersionNoteOwner) % 4 == 0, "the note's name must need no padding");
static_assert(sizeof(VersionNote) == 12 + sizeof(VersionNoteOwner) + 8);

// The block itself. "used" keeps it although nothing reads it in memory, and the explicit alignment
// stops the compiler from aligning it to 16 bytes, which note readers take for a corrupt note. The
// assembler gives a section named .note.* the note type, so tools such as readelf -n show it too.
[[gnu::used, gnu::section(".note.horavia.version")]] alignas(4) const VersionNote ProgramVersionNote = {
    sizeof(VersionNoteOwner),
    8,
    VersionNoteType,
    {'H', 'o', 'r', 'a', 'v', 'i', 'a', '\0'},
    {BuiltVersion.Major, BuiltVersion.Minor, BuiltVersion.Release, BuiltVersion.Build}};

constexpr char ElfMagic[] = {'\x7F', 'E', 'L', 'F'};
constexpr std::uint32_t SectionTypeNote = 7;      // SHT_NOTE
constexpr std::uint32_t SegmentTypeNote = 4;      // PT_NOTE
constexpr std::uint64_t MaxHeaderCount = 65536;   // more section or program headers than this: not ours to read
constexpr std::uint64_t MaxNoteBytes = 64 * 1024; // note sections are small; a huge one is skipped

// Reads an ELF file piece by piece, every read checked against the file's size.
class ElfReader final {
public:
    explicit ElfReader(QFile& file) : file_(file), size_(static_cast<std::uint64_t>(file.size())) {}

    std::optional<QByteArray> ReadAt(std::uint64_t offset, std::uint64_t length) {
        if (offset > size_ || length > size_ - offset) {
            return std::nullopt;
        }
        if (!file_.seek(static_cast<qint64>(offset))) {
            return std::nullopt;
        }
        QByteArray bytes = file_.read(static_cast<qint64>(length));
        if (static_cast<std::uint64_t>(bytes.size()) != length) {
            return std::nullopt;
        }
        return bytes;
    }

private:
    QFile& file_;
    std::uint64_t size_;
};

// Integers of the file's byte order from a buffer whose length the caller has checked.
class Fields final {
public:
    Fields(const QByteArray& bytes, bool bigEndian) : bytes_(bytes), big_(bigEndian) {}

    std::uint16_t U16(qsizetype at) const {
        const char* p = bytes_.constData() + at;
        return big_ ? qFromBigEndian<quint16>(p) : qFromLittleEndian<quint16>(p);
    }
    std::uint32_t U32(qsizetype at) const {
        const char* p = bytes_.constData() + at;
        return big_ ? qFromBigEndian<quint32>(p) : qFromLittleEndian<quint32>(p);
    }
    std::uint64_t U64(qsizetype at) const {
        const char* p = bytes_.constData() + at;
        return big_ ? qFromBigEndian<quint64>(p) : qFromLittleEndian<quint64>(p);
    }
    // An address-sized field: 64 bits in a 64-bit file, 32 in a 32-bit one.
    std::uint64_t Word(qsizetype at, bool is64) const { return is64 ? U64(at) : U32(at); }

private:
    const QByteArray& bytes_;
    bool big_;
};

struct NoteRange {
    std::uint64_t offset;
    std::uint64_t size;
    std::uint64_t alignment;
};

// Walks the notes of one note section or segment and takes our version note's descriptor.
std::optional<ExeVersion> FindVersionNote(const QByteArray& notes, bool bigEndian, std::uint64_t alignment) {
    const std::uint64_t align = alignment == 8 ? 8 : 4;
    const auto padded = [align](std::uint64_t n) { return (n + align - 1) / align * align; };
    const Fields f(notes, bigEndian);
    const auto size = static_cast<std::uint64_t>(notes.size());
    std::uint64_t pos = 0;
    while (size - pos >= 12) {
        const std::uint64_t nameSize = f.U32(static_cast<qsizetype>(pos));
        const std::uint64_t descSize = f.U32(static_cast<qsizetype>(pos + 4));
        const std::uint32_t type = f.U32(static_cast<qsizetype>(pos + 8));
        pos += 12;
        const std::uint64_t namePadded = padded(nameSize);
        if (namePadded > size - pos) {
            return std::nullopt;
        }
        const std::uint64_t nameAt = pos;
        pos += namePadded;
        const std::uint64_t descPadded = padded(descSize);
        if (descPadded > size - pos) {
            return std::nullopt;
        }
        const std::uint64_t descAt = pos;
        pos += descPadded;
        if (type == VersionNoteType && nameSize == sizeof(VersionNoteOwner) && descSize == 8 &&
            std::string_view(notes.constData() + nameAt, nameSize) ==
                std::string_view(VersionNoteOwner, sizeof(VersionNoteOwner))) {
            const auto d = static_cast<qsizetype>(descAt);
            return ExeVersion{f.U16(d), f.U16(d + 2), f.U16(d + 4), f.U16(d + 6)};
        }
    }
    return std::nullopt;
}

std::optional<ExeVersion> ReadVersion(QFile& file) {
    ElfReader reader(file);
    const std::optional<QByteArray> ident = reader.ReadAt(0, 16);
    if (!ident || !ident->startsWith(QByteArrayView(ElfMagic, sizeof(ElfMagic)))) {
        return std::nullopt;
    }
    const char elfClass = ident->at(4);
    const char data = ident->at(5);
    if ((elfClass != 1 && elfClass != 2) || (data != 1 && data != 2)) {
        return std::nullopt;
    }
    const bool is64 = elfClass == 2;
    const bool big = data == 2;
    const std::optional<QByteArray> header = reader.ReadAt(0, is64 ? 64 : 52);
    if (!header) {
        return std::nullopt;
    }
    const Fields h(*header, big);
    const std::uint64_t phoff = h.Word(is64 ? 32 : 28, is64);
    const std::uint64_t shoff = h.Word(is64 ? 40 : 32, is64);
    const std::uint64_t phentsize = h.U16(is64 ? 54 : 42);
    std::uint64_t phnum = h.U16(is64 ? 56 : 44);
    const std::uint64_t shentsize = h.U16(is64 ? 58 : 46);
    std::uint64_t shnum = h.U16(is64 ? 60 : 48);
    const std::uint64_t minSectionHeader = is64 ? 64 : 40;
    const std::uint64_t minProgramHeader = is64 ? 56 : 32;

    std::vector<NoteRange> ranges;
    if (shoff != 0 && shentsize >= minSectionHeader) {
        // Files with very many sections keep the real count in the first section header.
        if (shnum == 0) {
            if (const auto first = reader.ReadAt(shoff, shentsize)) {
                shnum = Fields(*first, big).Word(is64 ? 32 : 20, is64);
            }
        }
        if (shnum > 0 && shnum <= MaxHeaderCount) {
            if (const auto table = reader.ReadAt(shoff, shnum * shentsize)) {
                const Fields s(*table, big);
                for (std::uint64_t i = 0; i < shnum; ++i) {
                    const auto at = static_cast<qsizetype>(i * shentsize);
                    if (s.U32(at + 4) == SectionTypeNote) {
                        ranges.push_back({s.Word(at + (is64 ? 24 : 16), is64), s.Word(at + (is64 ? 32 : 20), is64),
                                          s.Word(at + (is64 ? 48 : 32), is64)});
                    }
                }
            }
        }
    }
    // A file stripped of its section headers still has the loader's view of its notes.
    if (ranges.empty() && phoff != 0 && phentsize >= minProgramHeader && phnum != 0xFFFF && phnum > 0) {
        if (const auto table = reader.ReadAt(phoff, phnum * phentsize)) {
            const Fields p(*table, big);
            for (std::uint64_t i = 0; i < phnum; ++i) {
                const auto at = static_cast<qsizetype>(i * phentsize);
                if (p.U32(at) == SegmentTypeNote) {
                    ranges.push_back({p.Word(at + (is64 ? 8 : 4), is64), p.Word(at + (is64 ? 32 : 16), is64),
                                      p.Word(at + (is64 ? 48 : 28), is64)});
                }
            }
        }
    }
    for (const NoteRange& range : ranges) {
        if (range.size > MaxNoteBytes) {
            continue;
        }
        if (const auto notes = reader.ReadAt(range.offset, range.size)) {
            if (const auto version = FindVersionNote(*notes, big, range.alignment)) {
                return version;
            }
        }
    }
    return std::nullopt;
}

} // namespace

ExeVersion GetExeVersion(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcPlatform) << "cannot read" << path << "for its version:" << file.errorString();
        return {};
    }
    return ReadVersion(file).value_or(ExeVersion{});
}

ExeVersion GetExeVersion() {
    // /proc/self/exe is the file this process was started from even if it has been replaced since.
    const QString self = QStringLiteral("/proc/self/exe");
    if (QFileInfo::exists(self) || !QCoreApplication::instance()) {
        return GetExeVersion(self);
    }
    return GetExeVersion(QCoreApplication::applicationFilePath());
}

QString FormatExeVersion(const ExeVersion& version) {
    return QStringLiteral("%1.%2.%3.%4").arg(version.Major).arg(version.Minor).arg(version.Release).arg(version.Build);
}

} // namespace horavia
