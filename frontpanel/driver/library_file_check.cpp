#include "driver/library_file_check.h"

#include <QFile>

#include <cstdint>
#include <cstring>

#if defined(__linux__)
#include <elf.h>
#include <link.h>
#endif

namespace zr {

#if defined(__linux__)

namespace {

using Ehdr = ElfW(Ehdr);
using Phdr = ElfW(Phdr);

constexpr unsigned char kOwnClass = sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32;

unsigned char ownByteOrder() {
    const std::uint16_t probe = 1;
    unsigned char first = 0;
    std::memcpy(&first, &probe, 1);
    return first == 1 ? ELFDATA2LSB : ELFDATA2MSB;
}

// The machine this program was built for, read from its own header.
std::uint16_t ownMachine() {
#if defined(__x86_64__)
    return EM_X86_64;
#elif defined(__i386__)
    return EM_386;
#elif defined(__aarch64__)
    return EM_AARCH64;
#elif defined(__arm__)
    return EM_ARM;
#elif defined(__riscv)
    return EM_RISCV;
#elif defined(__powerpc64__)
    return EM_PPC64;
#else
    return EM_NONE; // unknown here: not checked
#endif
}

// offset + size <= limit, without overflow.
bool inside(std::uint64_t offset, std::uint64_t size, std::uint64_t limit) {
    return offset <= limit && size <= limit - offset;
}

} // namespace

QString sharedLibraryImageProblem(const QByteArray& image) {
    const auto fileSize = static_cast<std::uint64_t>(image.size());
    if (fileSize < EI_NIDENT || std::memcmp(image.constData(), ELFMAG, SELFMAG) != 0) {
        return QStringLiteral("not a shared library (no ELF header)");
    }
    const auto* ident = reinterpret_cast<const unsigned char*>(image.constData());
    if (ident[EI_CLASS] != kOwnClass) {
        return QStringLiteral("built for a %1-bit program").arg(kOwnClass == ELFCLASS64 ? 32 : 64);
    }
    if (ident[EI_DATA] != ownByteOrder()) {
        return QStringLiteral("built for the other byte order");
    }
    if (fileSize < sizeof(Ehdr)) {
        return QStringLiteral("the file is truncated (%1 bytes, shorter than its header)")
            .arg(fileSize);
    }
    Ehdr header;
    std::memcpy(&header, image.constData(), sizeof header);
    if (header.e_type != ET_DYN) {
        return QStringLiteral("not a shared library (ELF type %1)").arg(header.e_type);
    }
    if (ownMachine() != EM_NONE && header.e_machine != ownMachine()) {
        return QStringLiteral("built for another processor (ELF machine %1)").arg(header.e_machine);
    }
    if (header.e_phnum == 0 || header.e_phentsize != sizeof(Phdr)) {
        return QStringLiteral("damaged: no usable program headers");
    }
    const std::uint64_t tableSize = std::uint64_t{header.e_phnum} * sizeof(Phdr);
    if (!inside(header.e_phoff, tableSize, fileSize)) {
        return QStringLiteral("the file is truncated (%1 bytes; its program headers lie beyond)")
            .arg(fileSize);
    }
    bool anyLoad = false;
    for (std::uint16_t i = 0; i < header.e_phnum; ++i) {
        Phdr segment;
        std::memcpy(&segment, image.constData() + header.e_phoff + i * sizeof(Phdr),
                    sizeof segment);
        if (segment.p_type != PT_LOAD && segment.p_type != PT_DYNAMIC) {
            continue;
        }
        anyLoad = anyLoad || segment.p_type == PT_LOAD;
        if (!inside(segment.p_offset, segment.p_filesz, fileSize)) {
            return QStringLiteral("the file is truncated (%1 bytes; a segment needs %2)")
                .arg(fileSize)
                .arg(static_cast<qulonglong>(segment.p_offset) + segment.p_filesz);
        }
        if (segment.p_type == PT_LOAD && segment.p_memsz < segment.p_filesz) {
            return QStringLiteral("damaged: a load segment is smaller in memory than in the file");
        }
    }
    if (!anyLoad) {
        return QStringLiteral("damaged: nothing to load");
    }
    return {};
}

#else

QString sharedLibraryImageProblem(const QByteArray&) {
    return {};
}

#endif

QString sharedLibraryFileProblem(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return file.errorString();
    }
    const QByteArray image = file.readAll();
    if (image.size() != file.size()) {
        return QStringLiteral("the file cannot be read in full");
    }
    return sharedLibraryImageProblem(image);
}

} // namespace zr
