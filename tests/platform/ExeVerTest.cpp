#include "platform/ExeVer.h"

#include <QByteArray>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdint>
#include <random>

namespace horavia {
namespace {

// Builds small ELF files byte by byte, in either byte order and class.
class ElfWriter final {
public:
    explicit ElfWriter(bool bigEndian) : big_(bigEndian) {}

    void Put(QByteArray& out, std::uint64_t value, int bytes) const {
        for (int i = 0; i < bytes; ++i) {
            const int shift = big_ ? 8 * (bytes - 1 - i) : 8 * i;
            out.append(static_cast<char>((value >> shift) & 0xFF));
        }
    }

    QByteArray Note(const QByteArray& name, std::uint32_t type, const QByteArray& desc, int align = 4) const {
        QByteArray note;
        Put(note, static_cast<std::uint64_t>(name.size()), 4);
        Put(note, static_cast<std::uint64_t>(desc.size()), 4);
        Put(note, type, 4);
        note.append(name);
        Pad(note, align, 12);
        note.append(desc);
        Pad(note, align, 12);
        return note;
    }

    QByteArray VersionDesc(std::uint16_t a, std::uint16_t b, std::uint16_t c, std::uint16_t d) const {
        QByteArray desc;
        for (const std::uint16_t part : {a, b, c, d}) {
            Put(desc, part, 2);
        }
        return desc;
    }

private:
    // Pads the part after the 12-byte header to the alignment.
    static void Pad(QByteArray& note, int align, int header) {
        while ((note.size() - header) % align != 0) {
            note.append('\0');
        }
    }

    bool big_;
};

struct ElfImage {
    bool is64 = true;
    bool bigEndian = false;
    QByteArray notes;
    std::uint64_t noteAlign = 4;
    bool sectionHeaders = true;
    bool programHeaders = true;
};

// ELF header, one PT_NOTE program header, the notes, then a null and a SHT_NOTE section header.
QByteArray BuildElf(const ElfImage& image) {
    const ElfWriter w(image.bigEndian);
    const bool is64 = image.is64;
    const int ehsize = is64 ? 64 : 52;
    const int phentsize = is64 ? 56 : 32;
    const int shentsize = is64 ? 64 : 40;
    const int word = is64 ? 8 : 4;
    const std::uint64_t phoff = image.programHeaders ? ehsize : 0;
    const std::uint64_t notesAt = static_cast<std::uint64_t>(ehsize + phentsize + 8) / 8 * 8;
    const std::uint64_t shoff = image.sectionHeaders ? (notesAt + image.notes.size() + 7) / 8 * 8 : 0;

    QByteArray f;
    f.append("\x7F"
             "ELF");
    f.append(static_cast<char>(is64 ? 2 : 1));
    f.append(static_cast<char>(image.bigEndian ? 2 : 1));
    f.append(static_cast<char>(1));
    f.append(QByteArray(9, '\0'));
    w.Put(f, 2, 2);    // e_type: executable
    w.Put(f, 0x3E, 2); // e_machine
    w.Put(f, 1, 4);    // e_version
    w.Put(f, 0, word); // e_entry
    w.Put(f, phoff, word);
    w.Put(f, shoff, word);
    w.Put(f, 0, 4); // e_flags
    w.Put(f, static_cast<std::uint64_t>(ehsize), 2);
    w.Put(f, static_cast<std::uint64_t>(phentsize), 2);
    w.Put(f, image.programHeaders ? 1 : 0, 2);
    w.Put(f, static_cast<std::uint64_t>(shentsize), 2);
    w.Put(f, image.sectionHeaders ? 2 : 0, 2);
    w.Put(f, 0, 2); // e_shstrndx
    EXPECT_EQ(f.size(), ehsize);

    QByteArray ph;
    w.Put(ph, 4, 4); // PT_NOTE
    if (is64) {
        w.Put(ph, 4, 4); // p_flags
    }
    w.Put(ph, notesAt, word);                                        // p_offset
    w.Put(ph, 0, word);                                              // p_vaddr
    w.Put(ph, 0, word);                                              // p_paddr
    w.Put(ph, static_cast<std::uint64_t>(image.notes.size()), word); // p_filesz
    w.Put(ph, static_cast<std::uint64_t>(image.notes.size()), word); // p_memsz
    if (!is64) {
        w.Put(ph, 4, 4); // p_flags
    }
    w.Put(ph, image.noteAlign, word); // p_align
    if (image.programHeaders) {
        f.append(ph);
    }
    f.append(QByteArray(static_cast<qsizetype>(notesAt) - f.size(), '\0'));
    f.append(image.notes);
    if (!image.sectionHeaders) {
        return f;
    }
    f.append(QByteArray(static_cast<qsizetype>(shoff) - f.size(), '\0'));
    f.append(QByteArray(shentsize, '\0')); // the null section
    QByteArray sh;
    w.Put(sh, 0, 4);                                                 // sh_name
    w.Put(sh, 7, 4);                                                 // SHT_NOTE
    w.Put(sh, 2, word);                                              // sh_flags: alloc
    w.Put(sh, 0, word);                                              // sh_addr
    w.Put(sh, notesAt, word);                                        // sh_offset
    w.Put(sh, static_cast<std::uint64_t>(image.notes.size()), word); // sh_size
    w.Put(sh, 0, 4);                                                 // sh_link
    w.Put(sh, 0, 4);                                                 // sh_info
    w.Put(sh, image.noteAlign, word);                                // sh_addralign
    w.Put(sh, 0, word);                                              // sh_entsize
    EXPECT_EQ(sh.size(), shentsize);
    f.append(sh);
    return f;
}

ExeVersion Parts(std::uint16_t a, std::uint16_t b, std::uint16_t c, std::uint16_t d) {
    return {a, b, c, d};
}

const QByteArray Owner = QByteArray("Horavia", 8);

class ExeVerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    QString Write(const QByteArray& bytes, const QString& name = QStringLiteral("program")) {
        const QString path = dir_.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        EXPECT_EQ(file.write(bytes), bytes.size());
        return path;
    }

    ExeVersion Read(const QByteArray& bytes) { return GetExeVersion(Write(bytes)); }

    static QByteArray SelfBytes() {
        QFile self(QStringLiteral("/proc/self/exe"));
        EXPECT_TRUE(self.open(QIODevice::ReadOnly));
        return self.readAll();
    }

    QTemporaryDir dir_;
};

TEST_F(ExeVerTest, RunningProgramCarriesTheBuiltVersion) {
    const QStringList parts = QStringLiteral(HORAVIA_VERSION).split(QLatin1Char('.'));
    ASSERT_GE(parts.size(), 3);
    const ExeVersion expected = Parts(parts.value(0).toUShort(), parts.value(1).toUShort(), parts.value(2).toUShort(),
                                      parts.value(3, QStringLiteral("0")).toUShort());
    EXPECT_EQ(GetExeVersion(), expected);
    EXPECT_EQ(GetExeVersion(QStringLiteral("/proc/self/exe")), expected);
    EXPECT_EQ(FormatExeVersion(GetExeVersion()), QStringLiteral(HORAVIA_VERSION) + (parts.size() == 3 ? ".0" : ""));
}

TEST_F(ExeVerTest, CopyOfTheProgramWithItsBlockDefacedGivesZeros) {
    QByteArray self = SelfBytes();
    ASSERT_FALSE(self.isEmpty());
    EXPECT_NE(Read(self), ExeVersion{});
    // Every occurrence of the note's owner name (the note and any copy of it in the symbol data).
    qsizetype at = 0;
    int defaced = 0;
    while ((at = self.indexOf(Owner, at)) >= 0) {
        self[at] = 'X';
        ++defaced;
    }
    ASSERT_GE(defaced, 1);
    EXPECT_EQ(Read(self), ExeVersion{});
}

TEST_F(ExeVerTest, FindsItsNoteAmongOthersInEveryLayout) {
    struct Layout {
        bool is64;
        bool big;
        std::uint64_t align;
        bool sections;
        bool segments;
    };
    for (const Layout& l :
         {Layout{true, false, 4, true, true}, Layout{false, true, 4, true, true}, Layout{true, true, 8, true, false},
          Layout{false, false, 4, false, true}, Layout{true, false, 8, false, true}}) {
        const ElfWriter w(l.big);
        const int align = static_cast<int>(l.align);
        ElfImage image{l.is64, l.big, {}, l.align, l.sections, l.segments};
        image.notes = w.Note(QByteArray("GNU", 4), 3, QByteArray(20, '\x5A'), align) +
                      w.Note(QByteArray("Other", 6), 0x56455230, w.VersionDesc(9, 9, 9, 9), align) +
                      w.Note(Owner, 0x56455230, w.VersionDesc(1, 20, 300, 65535), align);
        EXPECT_EQ(Read(BuildElf(image)), Parts(1, 20, 300, 65535))
            << l.is64 << l.big << l.align << l.sections << l.segments;
    }
}

TEST_F(ExeVerTest, FileWithoutTheBlockGivesZeros) {
    const ElfWriter w(false);
    ElfImage image;
    image.notes = w.Note(QByteArray("GNU", 4), 3, QByteArray(20, '\x01'));
    EXPECT_EQ(Read(BuildElf(image)), ExeVersion{});
    image.notes.clear();
    EXPECT_EQ(Read(BuildElf(image)), ExeVersion{});
    // Our owner name with another type, or a descriptor of the wrong length, is not the block.
    image.notes = w.Note(Owner, 1, w.VersionDesc(1, 2, 3, 4));
    EXPECT_EQ(Read(BuildElf(image)), ExeVersion{});
    image.notes = w.Note(Owner, 0x56455230, w.VersionDesc(1, 2, 3, 4) + QByteArray(4, '\0'));
    EXPECT_EQ(Read(BuildElf(image)), ExeVersion{});
    image.notes = w.Note(QByteArray("Horavi", 7), 0x56455230, w.VersionDesc(1, 2, 3, 4));
    EXPECT_EQ(Read(BuildElf(image)), ExeVersion{});
}

TEST_F(ExeVerTest, MissingEmptyAndNonElfFilesGiveZeros) {
    EXPECT_EQ(GetExeVersion(dir_.filePath(QStringLiteral("absent"))), ExeVersion{});
    EXPECT_EQ(GetExeVersion(dir_.path()), ExeVersion{});
    EXPECT_EQ(Read(QByteArray()), ExeVersion{});
    EXPECT_EQ(Read(QByteArray("#!/bin/sh\necho Horavia\n")), ExeVersion{});
    EXPECT_EQ(Read(QByteArray("\x7F"
                              "ELF")),
              ExeVersion{});
    // A valid note after a header with an unknown class or byte order is not read.
    const ElfWriter w(false);
    ElfImage image;
    image.notes = w.Note(Owner, 0x56455230, w.VersionDesc(1, 2, 3, 4));
    QByteArray bytes = BuildElf(image);
    bytes[4] = 3;
    EXPECT_EQ(Read(bytes), ExeVersion{});
    bytes = BuildElf(image);
    bytes[5] = 0;
    EXPECT_EQ(Read(bytes), ExeVersion{});
}

TEST_F(ExeVerTest, EveryTruncationGivesZerosOrTheVersion) {
    const ElfWriter w(false);
    ElfImage image;
    image.notes = w.Note(Owner, 0x56455230, w.VersionDesc(4, 3, 2, 1));
    const QByteArray full = BuildElf(image);
    ASSERT_EQ(Read(full), Parts(4, 3, 2, 1));
    for (qsizetype n = 0; n < full.size(); ++n) {
        const ExeVersion v = Read(full.left(n));
        EXPECT_TRUE(v == ExeVersion{} || v == Parts(4, 3, 2, 1)) << n;
    }
    // Cut inside the note itself neither the section nor the segment is whole: nothing is read.
    EXPECT_EQ(Read(full.left(136)), ExeVersion{});
}

TEST_F(ExeVerTest, HostileHeaderFieldsAreBoundsChecked) {
    const ElfWriter w(false);
    ElfImage image;
    image.notes = w.Note(Owner, 0x56455230, w.VersionDesc(4, 3, 2, 1));
    const QByteArray good = BuildElf(image);
    const auto patch = [&](qsizetype at, std::uint64_t value, int bytes) {
        QByteArray b = good;
        QByteArray v;
        w.Put(v, value, bytes);
        b.replace(at, bytes, v);
        return b;
    };
    const std::uint64_t shoff = 64 + 56 + 8 + static_cast<std::uint64_t>(image.notes.size());
    const qsizetype noteSection = static_cast<qsizetype>((shoff + 7) / 8 * 8) + 64;
    // Section and program header tables far beyond the end, counts at their maxima.
    EXPECT_EQ(Read(patch(40, ~0ull, 8)), Parts(4, 3, 2, 1)); // the segment still tells
    EXPECT_EQ(Read(patch(60, 0xFFFF, 2)), Parts(4, 3, 2, 1));
    EXPECT_EQ(Read(patch(32, ~0ull - 10, 8).replace(40, 8, QByteArray(8, '\xFF'))), ExeVersion{});
    // A note section whose offset or size points past the file, or wraps around.
    EXPECT_EQ(Read(patch(noteSection + 24, ~0ull - 3, 8).replace(32, 8, QByteArray(8, '\0'))), ExeVersion{});
    EXPECT_EQ(Read(patch(noteSection + 32, ~0ull, 8).replace(32, 8, QByteArray(8, '\0'))), ExeVersion{});
    // A note whose name or descriptor length runs past its section.
    QByteArray bad = image.notes;
    QByteArray huge;
    w.Put(huge, 0xFFFFFFFF, 4);
    for (const qsizetype at : {0, 4}) {
        ElfImage broken = image;
        broken.notes = bad.replace(at, 4, huge);
        EXPECT_EQ(Read(BuildElf(broken)), ExeVersion{}) << at;
        bad = image.notes;
    }
}

TEST_F(ExeVerTest, RandomDamageNeverCrashes) {
    const ElfWriter w(true);
    ElfImage image{false, true, {}, 4, true, true};
    image.notes =
        w.Note(QByteArray("GNU", 4), 3, QByteArray(16, '\x22')) + w.Note(Owner, 0x56455230, w.VersionDesc(7, 7, 7, 7));
    const QByteArray good = BuildElf(image);
    ASSERT_EQ(Read(good), Parts(7, 7, 7, 7));
    std::mt19937 random(20260611);
    std::uniform_int_distribution<qsizetype> position(0, good.size() - 1);
    std::uniform_int_distribution<int> byte(0, 255);
    int intact = 0;
    for (int round = 0; round < 600; ++round) {
        QByteArray damaged = good;
        for (int i = 0; i < 4; ++i) {
            damaged[position(random)] = static_cast<char>(byte(random));
        }
        const ExeVersion v = Read(damaged);
        intact += v == Parts(7, 7, 7, 7) ? 1 : 0;
    }
    EXPECT_GT(intact, 0); // damage outside the headers and the note leaves the version readable
}

TEST(FormatExeVersionTest, PrintsFourDecimalParts) {
    EXPECT_EQ(FormatExeVersion({}), QStringLiteral("0.0.0.0"));
    EXPECT_EQ(FormatExeVersion(Parts(1, 1, 0, 6)), QStringLiteral("1.1.0.6"));
    EXPECT_EQ(FormatExeVersion(Parts(65535, 10, 200, 3000)), QStringLiteral("65535.10.200.3000"));
}

} // namespace
} // namespace horavia
