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
        : m_data(bytes.constData()), m_size(bytes.size()), m_next(firstBlock), m_end(firstBlock)
    { }

    // The next code of `width` bits, or -1 once the data ends; fileEnded() then says whether the file ended
    // before the empty sub-block that closes the data.
    int read(int width)
    {
        // Whole bytes while they fit, a sub-block's end passed only where the code needs more.
        while (m_held <= 24) {
            if (m_next == m_end && (m_held >= width || !nextBlock()))
                break;
            m_bits |= quint32(quint8(m_data[m_next++])) << m_held;
            m_held += 8;
        }
        if (m_held < width)
            return -1;
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
        const qsizetype length = m_end < m_size ? quint8(m_data[m_end]) : -1;
        m_fileEnded = length < 0 || m_end + 1 + length > m_size;
        if (m_fileEnded || length == 0)
            return false;
        m_next = m_end + 1;
        m_end = m_next + length;
        return true;
    }

    const char *m_data;
    qsizetype m_size, m_next, m_end; // the next byte of the current sub-block, and where it ends
    quint32 m_bits = 0;
    int m_held = 0;
    bool m_fileEnded = false;
};

// The strings of an LZW table: each entry, to be spelt, the code it extends and the index it adds; to be
// counted, the length and the first index of its string.
class LzwTable
{
public:
    explicit LzwTable(int codeSize) : m_clear(1 << codeSize)
    {
        for (int code = 0; code < m_clear; ++code) {
            m_prefix[size_t(code)] = -1;
            m_last[size_t(code)] = quint16(code);
            m_strings[size_t(code)] = {1, quint16(code)};
        }
    }

    int clearCode() const { return m_clear; }
    int endCode() const { return m_clear + 1; }
    int next() const { return m_next; } // the code that the next entry takes
    bool holds(int code) const { return code < m_clear || (code > endCode() && code < m_next); }
    int length(int code) const { return m_strings[size_t(code)].length; }
    quint8 first(int code) const { return quint8(m_strings[size_t(code)].first); }

    void clear() { m_next = m_clear + 2; }

    // The entry for `code`'s string and `index`, while the table has room, to be spelt.
    void add(int code, quint8 index)
    {
        if (const int entry = newEntry(); entry >= 0) {
            m_prefix[size_t(entry)] = qint16(code);
            m_last[size_t(entry)] = index;
        }
    }

    // The entry for a string of `length` indices from `first` on, while the table has room, to be counted.
    void add(qint64 length, quint16 first)
    {
        if (const int entry = newEntry(); entry >= 0)
            m_strings[size_t(entry)] = {qint16(length), first};
    }

    // Appends `code`'s string to `reversed`, its last index first; false where it leads to no string, through
    // a code that the table does not hold or around in a circle.
    bool spell(int code, std::vector<quint8> &reversed) const
    {
        for (int link = code; link >= 0; link = m_prefix[size_t(link)]) {
            if (!holds(link) || reversed.size() > 2 * tableSize)
                return false;
            reversed.push_back(quint8(m_last[size_t(link)]));
        }
        return true;
    }

private:
    // The code that a new entry takes, while the table has room; else -1.
    int newEntry() { return m_next < tableSize ? m_next++ : -1; }

    struct String
    {
        qint16 length;
        quint16 first;
    };

    int m_clear;
    int m_next = m_clear + 2;
    // Nothing a byte wide: a store to a byte may alias anything, and would keep a reading's state out of
    // registers.
    std::array<qint16, tableSize> m_prefix {};
    std::array<quint16, tableSize> m_last {};
    std::array<String, tableSize> m_strings {};
};

// A pixel of a reading: its palette index, or one that giflib made up for a code past its table.
struct Pixel
{
    quint8 index = 0;
    bool madeUp = false;
};

// Why a reading has no more pixels to give.
enum class Stop {
    Going, // it has not stopped
    NoString, // a string that leads through a code the table does not hold (Qt's reader)
    EndCode,
    DataEnd, // the empty sub-block that closes the data
    FileEnd, // the end of the file, before that sub-block
};

// The reader that a reading reads as. Each widens the codes at its own points, which part below a minimum
// code size of 2:
//                                codes after a clear:  1st 2nd 3rd 4th 5th 6th 7th
//     minimum code size 0    giflib's widths, bits:     1   2   3   3   3   3   4
//                            Qt's reader's:             1   1   2   3   3   3   4
//     minimum code size 1    giflib's:                  2   3   3   3   3   4   4
//                            Qt's reader's:             2   2   3   3   3   4   4
enum class Reader {
    // A bit wider once as many codes have come since the last clear, the first after it counted too. A code
    // past the table gives the string of the code before it and one pixel made up.
    Giflib,
    // A bit wider once the table has grown to the width's limit. A code past the table stands for the next
    // entry, the string of the code before it and that string's first index again, and the entry after it
    // extends that code as it came: a string that leads through a code the table does not hold stops the
    // reading, before any of its pixels.
    Qt,
};

// A frame's codes read as one reader reads them, a pixel at a time: spelt, each pixel's index given, or
// counted, where only how many there are matters and whether the last of a string is made up.
template<Reader reader, bool spelt> class Reading
{
public:
    Reading(const QByteArray &bytes, qsizetype at)
        : m_table(quint8(bytes[at])), m_codeSize(quint8(bytes[at])), m_state {BitReader(bytes, at + 1)}
    {
        if constexpr (spelt)
            m_pending.reserve(2 * tableSize + 2);
        restart(m_state);
    }

    // The next pixel, or none once the reading has stopped, for the reason that stop() gives.
    std::optional<Pixel> next()
    {
        if (m_state.left == 0 && m_state.stop == Stop::Going)
            readCode(m_state);
        if (m_state.left == 0)
            return std::nullopt;
        --m_state.left;
        return Pixel {spelt ? m_pending[size_t(m_state.left)] : quint8(0),
                      m_state.left == 0 && m_state.madeUp};
    }

    Stop stop() const { return m_state.stop; }

    // Passes over up to `most` pixels read from the file, a string at a time, up to where the reading stops
    // or a pixel made up, which is left to come; says how many it passed over. The state is worked on in a
    // copy of its own, which the compiler can keep in registers.
    qint64 passRead(qint64 most)
    {
        State state = m_state;
        qint64 passed = 0;
        for (;;) {
            const qint64 count
                = std::min(most - passed, state.left - (state.madeUp && state.left > 0 ? 1 : 0));
            state.left -= count;
            passed += count;
            if (passed == most || state.left > 0 || state.stop != Stop::Going)
                break;
            readCode(state);
        }
        m_state = state;
        return passed;
    }

private:
    // What changes from code to code but the table.
    struct State
    {
        BitReader bits;
        int width = 0, counted = 0, previous = -1;
        qint64 left = 0; // how many of the last code's pixels are still to come
        qint64 length = 0; // counted, how many pixels the last code's string holds
        quint16 first = 0; // the first index of the last code's string
        bool madeUp = false; // the last code's last pixel is made up
        Stop stop = Stop::Going;
    };

    void restart(State &state)
    {
        m_table.clear();
        state.width = m_codeSize + 1;
        state.counted = m_table.next();
        state.previous = -1;
    }

    // Reads codes up to one that gives pixels, or to where the reading stops.
    void readCode(State &state)
    {
        for (;;) {
            const int code = state.bits.read(state.width);
            if (code < 0) {
                state.stop = state.bits.fileEnded() ? Stop::FileEnd : Stop::DataEnd;
                return;
            }
            // giflib's running code: it counts each code read, from the first entry's code after a clear, and
            // widens the codes as the count passes the width's limit, until the table is full.
            if (reader == Reader::Giflib && state.counted <= tableSize) {
                ++state.counted;
                if (state.counted > 1 << state.width && state.width < 12)
                    ++state.width;
            }
            if (code == m_table.clearCode()) {
                restart(state);
                continue;
            }
            if (code == m_table.endCode()) {
                state.stop = Stop::EndCode;
                return;
            }
            take(state, code);
            return;
        }
    }

    // Puts `code`'s pixels in wait, and the entry it makes in the table.
    void take(State &state, int code)
    {
        const int previous = std::exchange(state.previous, code);
        const bool held = m_table.holds(code);
        // The first code after a clear gives its own index; one that the table does not hold gives a pixel
        // made up.
        if (previous < 0) {
            state.first = quint8(code);
            state.madeUp = !held;
            state.left = state.length = 1;
            if constexpr (spelt)
                m_pending.assign(1, quint8(state.first));
            return;
        }
        // A code past the table gives the string of the code before it, then for giflib a pixel made up past
        // the table's next entry, and otherwise (the next entry's own code, or any past it for Qt's reader)
        // that string's first index again.
        state.madeUp = !held && reader == Reader::Giflib && code > m_table.next();
        if constexpr (spelt) {
            m_pending.clear();
            if (!held)
                m_pending.push_back(quint8(state.first));
            if (!m_table.spell(held ? code : previous, m_pending)) {
                state.stop = Stop::NoString;
                state.left = 0;
                return;
            }
            state.left = qint64(m_pending.size());
            m_table.add(previous, m_pending.back());
            state.first = m_pending.back();
        } else {
            // The new entry, the string of the code before with one index more, counted: its length and first
            // index are that string's.
            m_table.add(state.length + 1, state.first);
            if (held)
                state.length = m_table.length(code), state.first = m_table.first(code);
            else
                ++state.length;
            state.left = state.length;
        }
        if (reader == Reader::Qt && m_table.next() >= 1 << state.width && state.width < 12)
            ++state.width;
    }

    LzwTable m_table;
    int m_codeSize;
    std::vector<quint8> m_pending; // spelt, the last code's pixels, its last first
    State m_state;
};

// The frame's pixels as giflib's reading gives them, compared one by one with those of Qt's reading, if any,
// while it goes on.
template<class GiflibReading>
FrameCodes readPixels(GiflibReading &giflib, Reading<Reader::Qt, true> *qt, qint64 pixels)
{
    for (qint64 pixel = 0; pixel < pixels; ++pixel) {
        // Where the file ends before the last pixel, it decides.
        const std::optional<Pixel> drawn = giflib.next();
        if (!drawn)
            return giflib.stop() == Stop::FileEnd ? FrameCodes::Drawable
                : giflib.stop() == Stop::NoString ? FrameCodes::Unknown
                                                  : FrameCodes::EndsEarly;
        if (drawn->madeUp)
            return FrameCodes::Unknown;
        if (qt) {
            const std::optional<Pixel> seen = qt->next();
            if (!seen && qt->stop() == Stop::FileEnd)
                qt = nullptr; // the file's end decides, unless giflib's reading fails first
            else if (!seen || seen->madeUp || seen->index != drawn->index)
                return FrameCodes::WidthInDoubt;
        }
        if (!qt) // nothing to compare them with
            pixel += giflib.passRead(pixels - pixel - 1);
    }
    return FrameCodes::Drawable;
}

} // namespace

FrameCodes readFrameCodes(const QByteArray &bytes, qsizetype at, qint64 pixels)
{
    if (at < 0 || at >= bytes.size())
        return FrameCodes::Drawable; // the file's end decides
    if (quint8(bytes[at]) > 8)
        return FrameCodes::CodeSizeOutOfRange;
    // From a minimum code size of 2 up giflib and Qt's reader widen the codes at the same points, and
    // giflib's reading alone is counted.
    if (quint8(bytes[at]) >= 2) {
        Reading<Reader::Giflib, false> giflib(bytes, at);
        return readPixels(giflib, nullptr, pixels);
    }
    Reading<Reader::Giflib, true> giflib(bytes, at);
    Reading<Reader::Qt, true> qt(bytes, at);
    return readPixels(giflib, &qt, pixels);
}

} // namespace pictures
