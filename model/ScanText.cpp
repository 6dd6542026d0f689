#include "ScanText.h"

#include "Failure.h"

#include <charconv>
#include <filesystem>
#include <istream>
#include <iterator>

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

std::string ScanText::readAll(std::istream &in)
{
    if (!in)
        return std::string();
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void ScanText::skipSpace()
{
    while (m_pos < m_text.size() && isBlank(m_text[m_pos]))
        ++m_pos;
}

bool ScanText::word(std::string &out, std::size_t maxLength)
{
    out.clear();
    skipSpace();
    if (atEnd())
        return false;
    const std::size_t start = m_pos;
    while (m_pos < m_text.size() && !isBlank(m_text[m_pos]))
        ++m_pos;
    if (m_pos - start <= maxLength)
        out.assign(m_text, start, m_pos - start);
    return true;
}

bool ScanText::integer(int &out)
{
    out = 0;
    skipSpace();
    std::size_t p = m_pos;
    if (p < m_text.size() && (m_text[p] == '+' || m_text[p] == '-'))
        ++p;
    const std::size_t digits = p;
    while (p < m_text.size() && isDigit(m_text[p]))
        ++p;
    if (p == digits)
        return false;
    // from_chars takes a '-' but no '+'.
    const std::size_t from = m_text[m_pos] == '+' ? m_pos + 1 : m_pos;
    const char *base = m_text.data();
    int value = 0;
    const auto result = std::from_chars(base + from, base + p, value);
    out = result.ec == std::errc() ? value : 0;
    m_pos = p;
    return true;
}

std::size_t ScanText::realLength() const
{
    std::size_t p = m_pos;
    if (p < m_text.size() && (m_text[p] == '+' || m_text[p] == '-'))
        ++p;
    std::size_t mantissaDigits = 0;
    while (p < m_text.size() && isDigit(m_text[p])) {
        ++p;
        ++mantissaDigits;
    }
    if (p < m_text.size() && m_text[p] == '.') {
        ++p;
        while (p < m_text.size() && isDigit(m_text[p])) {
            ++p;
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return 0;
    // An exponent counts only when digits follow it ("1e" reads as 1).
    if (p < m_text.size() && (m_text[p] == 'e' || m_text[p] == 'E')) {
        std::size_t q = p + 1;
        if (q < m_text.size() && (m_text[q] == '+' || m_text[q] == '-'))
            ++q;
        if (q < m_text.size() && isDigit(m_text[q])) {
            while (q < m_text.size() && isDigit(m_text[q]))
                ++q;
            p = q;
        }
    }
    return p - m_pos;
}

// Scans a real as Real (double for "%lf", float for "%f") and widens it.
template <class Real>
bool ScanText::realAs(double &out)
{
    out = 0.0;
    skipSpace();
    const std::size_t length = realLength();
    if (length == 0)
        return false;
    const std::size_t from = m_text[m_pos] == '+' ? m_pos + 1 : m_pos;
    const char *base = m_text.data();
    Real value = 0;
    const auto result = std::from_chars(base + from, base + m_pos + length, value);
    out = result.ec == std::errc() ? double(value) : 0.0;
    m_pos += length;
    return true;
}

bool ScanText::real(double &out)
{
    return realAs<double>(out);
}

bool ScanText::realSingle(double &out)
{
    return realAs<float>(out);
}

bool ScanText::literal(std::string_view pattern)
{
    for (const char c : pattern) {
        if (isBlank(c)) {
            skipSpace();
        } else if (m_pos < m_text.size() && m_text[m_pos] == c) {
            ++m_pos;
        } else {
            return false;
        }
    }
    return true;
}

bool openInputFile(std::ifstream &in, const std::string &path, Failure *failure)
{
    std::error_code error;
    if (!std::filesystem::is_directory(path, error))
        in.open(path, std::ios::binary);
    return in.is_open() || failUnopenable(failure, path);
}

bool readInput(std::istream &in, std::string &text, Failure *failure)
{
    if (in.fail())
        return failUnopenable(failure, std::string());
    text = ScanText::readAll(in);
    return true;
}
