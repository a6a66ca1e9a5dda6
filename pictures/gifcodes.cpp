#include "gifcodes.h"

#include <algorithm>
#include <array>
#include <optional>
#include <utility>
#include <vector>

namespace pictures {

namespace {

constexpr int tableSize = 4096; // codes are at most 12 bits wide

// The codes of a frame's data, low bit first, across its sub-blocks.
class BitReader
{
public:
    // `firstBlock`: where the length of the data's first sub-block lies.
    BitReader(const QByteArray &bytes, qsizetype firstBlock)
        : m_bytes(bytes), m_next(firstBlock), m_end(firstBlock)
    { }

    // The next code of `width` bits, or -1 once the data ends; fileEnded() then says whether the file ended
    // before the empty sub-block that closes the data.
    int read(int width)
    {
        while (m_held < width) {
            if (m_next == m_end && !nextBlock())
                return -1;
            m_bits |= quint32(quint8(m_bytes[m_next++])) << m_held;
            m_held += 8;
        }
        const int code = int(m_bits & ((1u << width) - 1));
        m_bits >>= width;
        m_held -= width;
        return code;
    }

    bool fileEnded() const { return m_fileEnded; }

private:
    // A sub-block that the file cuts short is not read at all: giflib reads each whole or not at all.
    bool nextBlock()
    {
        const qsizetype length = m_end < m_bytes.size() ? quint8(m_bytes[m_end]) : -1;
        m_fileEnded = length < 0 || m_end + 1 + length > m_bytes.size();
        if (m_fileEnded || length == 0)
            return false;
        m_next = m_end + 1;
        m_end = m_next + length;
        return true;
    }

    const QByteArray &m_bytes;
    qsizetype m_next, m_end; // the next byte of the current sub-block, and where it ends
    quint32 m_bits = 0;
    int m_held = 0;
    bool m_fileEnded = false;
};

// The strings of an LZW table: each entry the code it extends and the index it adds.
class LzwTable
{
public:
    explicit LzwTable(int codeSize) : m_clear(1 << codeSize)
    {
        for (int code = 0; code < m_clear; ++code) {
            m_prefix[size_t(code)] = -1;
            m_last[size_t(code)] = quint8(code);
        }
    }

    int clearCode() const { return m_clear; }
    int endCode() const { return m_clear + 1; }
    int next() const { return m_next; } // the code that the next entry takes
    bool holds(int code) const { return code < m_clear || (code > endCode() && code < m_next); }

    void clear() { m_next = m_clear + 2; }

    // The entry for `code`'s string and `index`, while the table has room.
    void add(int code, quint8 index)
    {
        if (m_next == tableSize)
            return;
        m_prefix[size_t(m_next)] = qint16(code);
        m_last[size_t(m_next)] = index;
        ++m_next;
    }

    // Appends `code`'s string to `reversed`, its last index first; false where it leads to no string, through
    // a code that the table does not hold or around in a circle.
    bool spell(int code, std::vector<quint8> &reversed) const
    {
        for (int link = code; link >= 0; link = m_prefix[size_t(link)]) {
            if (!holds(link) || reversed.size() > 2 * tableSize)
                return false;
            reversed.push_back(m_last[size_t(link)]);
        }
        return true;
    }

private:
    int m_clear;
    int m_next = m_clear + 2;
    std::array<qint16, tableSize> m_prefix {};
    std::array<quint8, tableSize> m_last {};
};

// One pixel of a reading: its palette index, or why there is none.
struct Pixel
{
    enum Kind { Read, MadeUp, Stopped, EndCode, DataEnd, FileEnd } kind;
    quint8 index = 0;
};

// The reader that a reading reads as.
enum class Reader {
    // A bit wider once as many codes have come since the last clear, the first after it counted too. A code
    // past
    // the table gives the string of the code before it and one pixel made up.
    Giflib,
    // A bit wider once the table has grown to the width's limit. A code past the table stands for the next
    // entry, the string of the code before it and that string's first index again, and the entry after it
    // extends that code as it came: a string that leads through a code the table does not hold stops the
    // reading, before any of its pixels.
    Qt,
};

// A frame's codes read as one reader reads them, a pixel at a time.
class Reading
{
public:
    Reading(const QByteArray &bytes, qsizetype at, Reader reader)
        : m_bits(bytes, at + 1), m_table(quint8(bytes[at])), m_reader(reader), m_codeSize(quint8(bytes[at]))
    {
        m_pending.reserve(2 * tableSize + 2);
        restart();
    }

    Pixel next()
    {
        if (m_stopped)
            return {Pixel::Stopped};
        if (m_pending.empty())
            return readCode();
        const quint8 index = m_pending.back();
        m_pending.pop_back();
        return {m_pending.empty() && m_madeUp ? Pixel::MadeUp : Pixel::Read, index};
    }

    // Passes over up to `most` of the pixels in wait that are read from the file, and says how many.
    qint64 skipRead(qint64 most)
    {
        const qint64 count
            = std::min<qint64>(most, qint64(m_pending.size()) - (m_madeUp && !m_pending.empty() ? 1 : 0));
        m_pending.resize(m_pending.size() - size_t(count));
        return count;
    }

private:
    void restart()
    {
        m_table.clear();
        m_width = m_codeSize + 1;
        m_counted = m_table.next();
        m_previous = -1;
    }

    // Reads codes up to one that gives pixels, and gives its first.
    Pixel readCode()
    {
        for (;;) {
            const int code = m_bits.read(m_width);
            if (code < 0)
                return {m_bits.fileEnded() ? Pixel::FileEnd : Pixel::DataEnd};
            if (m_reader == Reader::Giflib && m_counted <= tableSize && ++m_counted > 1 << m_width
                && m_width < 12)
                ++m_width;
            if (code == m_table.clearCode()) {
                restart();
                continue;
            }
            if (code == m_table.endCode())
                return {Pixel::EndCode};
            spell(code);
            return next();
        }
    }

    // Puts `code`'s pixels in wait, and the entry it makes in the table.
    void spell(int code)
    {
        const int previous = std::exchange(m_previous, code);
        const bool held = m_table.holds(code);
        m_madeUp = !held && (previous < 0 || (code > m_table.next() && m_reader == Reader::Giflib));
        if (previous < 0) {
            m_pending.push_back(m_first = quint8(code));
            return;
        }
        if (!held)
            m_pending.push_back(m_first);
        m_stopped = !m_table.spell(held ? code : previous, m_pending);
        m_first = m_pending.back();
        m_table.add(previous, m_first);
        if (m_reader == Reader::Qt && m_table.next() >= 1 << m_width && m_width < 12)
            ++m_width;
    }

    BitReader m_bits;
    LzwTable m_table;
    Reader m_reader;
    int m_codeSize, m_width = 0, m_counted = 0, m_previous = -1;
    std::vector<quint8> m_pending; // the rest of the last code's pixels, its last first
    quint8 m_first = 0; // the first index of the last code's string
    bool m_madeUp = false; // the last code's last pixel is made up
    bool m_stopped = false;
};

// What one pixel of the frame says of it, giflib's reading, whose pixels are drawn, first.
std::optional<FrameCodes> judge(const Pixel &drawn, const std::optional<Pixel> &seen)
{
    switch (drawn.kind) {
    case Pixel::FileEnd:
        return FrameCodes::Drawable;
    case Pixel::EndCode:
    case Pixel::DataEnd:
        return FrameCodes::EndsEarly;
    case Pixel::MadeUp:
    case Pixel::Stopped:
        return FrameCodes::Unknown;
    case Pixel::Read:
        break;
    }
    if (!seen || (seen->kind == Pixel::Read && seen->index == drawn.index))
        return std::nullopt;
    return FrameCodes::WidthInDoubt;
}

} // namespace

FrameCodes readFrameCodes(const QByteArray &bytes, qsizetype at, qint64 pixels)
{
    // From a minimum code size of 2 up giflib and Qt's reader widen the codes at the same points.
    Reading giflib(bytes, at, Reader::Giflib);
    std::optional<Reading> qt;
    if (quint8(bytes[at]) < 2)
        qt.emplace(bytes, at, Reader::Qt);
    for (qint64 pixel = 0; pixel < pixels; ++pixel) {
        const Pixel drawn = giflib.next();
        std::optional<Pixel> seen = qt && drawn.kind == Pixel::Read ? qt->next() : std::optional<Pixel>();
        if (seen
            && seen->kind == Pixel::FileEnd) { // the file's end decides, unless giflib's reading fails first
            qt.reset();
            seen.reset();
        }
        if (const std::optional<FrameCodes> verdict = judge(drawn, seen))
            return *verdict;
        if (!qt) // nothing to compare them with
            pixel += giflib.skipRead(pixels - pixel - 1);
    }
    return FrameCodes::Drawable;
}

} // namespace pictures
