#ifndef TESSIVO_SCANTEXT_H
#define TESSIVO_SCANTEXT_H

#include <cstddef>
#include <fstream>
#include <iosfwd>
#include <string>
#include <string_view>

// Reads the model's text files the way stdio's scanf family does, but safely:
// blanks and line breaks are interchangeable, literal text must match, and a
// failed conversion leaves the input where it stopped. Values that cannot be
// scanned, or do not fit their type, are given as 0.
class ScanText
{
public:
    explicit ScanText(std::string text) : m_text(std::move(text)) {}

    // The whole content of a stream; a stream that cannot be read gives "".
    static std::string readAll(std::istream &in);

    // Skips white space (blank, tab, CR, LF, VT, FF).
    void skipSpace();
    bool atEnd() const { return m_pos >= m_text.size(); }

    // Next run of non-blank characters, like "%s". False at the end of input.
    // A word longer than maxLength is consumed whole and returned as "" so that
    // it matches no tag.
    bool word(std::string &out, std::size_t maxLength);

    // "%d": optional sign and decimal digits. False (input untouched, value 0)
    // when no number starts here; a number outside int is consumed and gives 0.
    bool integer(int &out);
    // "%lf" and "%f": a decimal real with optional fraction and exponent.
    // Text outside the type's range is consumed and gives 0.
    bool real(double &out);
    bool realSingle(double &out); // rounded to float, then widened

    // Matches a scanf literal: a blank in the pattern matches any white space
    // (also none), every other character must be next in the input. False at
    // the first mismatch, leaving the input there.
    bool literal(std::string_view pattern);

private:
    // Length of the decimal real starting at m_pos (after an optional sign), 0 if none.
    std::size_t realLength() const;
    template <class Real> bool realAs(double &out);

    std::string m_text;
    std::size_t m_pos = 0;
};

struct Failure;

// Opens a text file for reading. A file that cannot be opened, or a folder,
// fails as failUnopenable says (Failure.h).
bool openInputFile(std::ifstream &in, const std::string &path, Failure *failure);

// The whole text of a reader's stream, or a failure as failUnopenable says
// when the stream already failed (it could not be opened).
bool readInput(std::istream &in, std::string &text, Failure *failure);

#endif
