// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "editor/pdfjoin_p.h"

#include <QByteArrayView>

#include <algorithm>
#include <functional>
#include <optional>

namespace TAVRIKCORE::RICHEDITOR {

namespace {

bool isWhite(char c)
{
    return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\0';
}

bool isDelimiter(char c)
{
    return c == '(' || c == ')' || c == '<' || c == '>' || c == '[' || c == ']' || c == '{'
        || c == '}' || c == '/' || c == '%';
}

struct Token
{
    enum Kind { End, Integer, Name, Word, Other }; // Word: a keyword or a real number
    Kind kind = End;
    qsizetype begin = 0;
    qsizetype end = 0;
};

// The tokens of PDF syntax in `text`, strings and comments passed over whole.
class Scanner
{
public:
    explicit Scanner(QByteArrayView text, qsizetype from = 0) : m_text(text), m_at(from) { }

    Token next()
    {
        skipWhiteAndComments();
        Token token{Token::Other, m_at, m_at};
        if (m_at >= m_text.size())
            return {Token::End, m_at, m_at};
        const char c = m_text[m_at];
        if (c == '(') {
            skipLiteralString();
        } else if (c == '<' || c == '>') {
            if (at(m_at + 1) == c) {
                m_at += 2;
            } else if (c == '<') { // a string in hexadecimal
                const qsizetype end = m_text.indexOf('>', m_at);
                m_at = end < 0 ? m_text.size() : end + 1;
            } else {
                ++m_at;
            }
        } else if (isDelimiter(c) && c != '/') {
            ++m_at;
        } else {
            token.kind = c == '/' ? Token::Name : Token::Integer;
            if (c == '/')
                ++m_at;
            for (; m_at < m_text.size() && !isWhite(m_text[m_at]) && !isDelimiter(m_text[m_at]);
                 ++m_at) {
                if (token.kind == Token::Integer && (m_text[m_at] < '0' || m_text[m_at] > '9'))
                    token.kind = Token::Word;
            }
        }
        token.end = m_at;
        return token;
    }

    QByteArrayView text(const Token &token) const
    {
        return m_text.sliced(token.begin, token.end - token.begin);
    }
    int integer(const Token &token) const
    {
        bool ok = false;
        const int value = text(token).toInt(&ok);
        return ok ? value : -1;
    }
    // The integer of the next token; -1 when it is not one.
    int nextInteger()
    {
        const Token token = next();
        return token.kind == Token::Integer ? integer(token) : -1;
    }
    bool nextIs(QByteArrayView word)
    {
        const Token token = next();
        return token.kind != Token::End && text(token) == word;
    }
    // The number of the object a reference ("12 0 R") read next names; -1 when none is next.
    int nextReference()
    {
        const int number = nextInteger();
        return nextInteger() == 0 && nextIs("R") ? number : -1;
    }
    // Reads on past the name `key`; false when it is not found.
    bool skipPast(QByteArrayView key)
    {
        for (Token token = next(); token.kind != Token::End; token = next()) {
            if (token.kind == Token::Name && text(token) == key)
                return true;
        }
        return false;
    }

private:
    char at(qsizetype index) const { return index < m_text.size() ? m_text[index] : '\0'; }

    void skipWhiteAndComments()
    {
        while (m_at < m_text.size()) {
            if (m_text[m_at] == '%') {
                while (m_at < m_text.size() && m_text[m_at] != '\n' && m_text[m_at] != '\r')
                    ++m_at;
            } else if (isWhite(m_text[m_at])) {
                ++m_at;
            } else {
                return;
            }
        }
    }

    void skipLiteralString()
    {
        int depth = 0;
        for (; m_at < m_text.size(); ++m_at) {
            const char c = m_text[m_at];
            if (c == '\\')
                ++m_at;
            else if (c == '(')
                ++depth;
            else if (c == ')' && --depth == 0)
                break;
        }
        m_at = std::min(m_at + 1, m_text.size());
    }

    QByteArrayView m_text;
    qsizetype m_at;
};

// A document as QPdfWriter writes it.
struct Part
{
    QByteArrayView bytes;
    qsizetype header = 0; // where the first object starts
    std::vector<qsizetype> offsets; // each object's by its number; -1 when the number is free
    std::vector<qsizetype> ends; // where each object's text ends
    int info = -1;
    int root = -1;
    int pages = -1;
    std::vector<int> kids;

    QByteArrayView object(int number) const
    {
        return bytes.sliced(offsets[number], ends[number] - offsets[number]);
    }
    int size() const { return int(offsets.size()); }
};

// The document in `pdf`; nothing, with the reason in `error`, when it is not of that shape.
std::optional<Part> readPart(QByteArrayView pdf, QString &error)
{
    Part part;
    part.bytes = pdf;
    const qsizetype startxref = pdf.lastIndexOf("startxref");
    const qsizetype xref = startxref < 0 ? -1 : Scanner(pdf, startxref + 9).nextInteger();
    if (xref <= 0 || xref >= startxref || !pdf.sliced(xref).startsWith("xref")) {
        error = QStringLiteral("no cross-reference table");
        return std::nullopt;
    }
    Scanner table(pdf, xref + 4);
    const int first = table.nextInteger();
    const int count = table.nextInteger();
    if (first != 0 || count < 1 || count > xref / 8) {
        error = QStringLiteral("the cross-reference table is not one section from object 0");
        return std::nullopt;
    }
    part.offsets.assign(count, -1);
    for (int number = 0; number < count; ++number) {
        const int offset = table.nextInteger();
        const int generation = table.nextInteger();
        const Token use = table.next();
        const bool inUse = table.text(use) == "n";
        if (offset < 0 || generation < 0 || (!inUse && table.text(use) != "f")) {
            error = QStringLiteral("entry %1 of the cross-reference table cannot be read")
                        .arg(number);
            return std::nullopt;
        }
        if (inUse)
            part.offsets[number] = offset;
    }
    if (!table.nextIs("trailer")) {
        error = QStringLiteral("no trailer after the cross-reference table");
        return std::nullopt;
    }
    const QByteArrayView trailer = pdf.sliced(xref, startxref - xref);
    if (Scanner scanner(trailer); scanner.skipPast("/Info"))
        part.info = scanner.nextReference();
    if (Scanner scanner(trailer); scanner.skipPast("/Root"))
        part.root = scanner.nextReference();

    // Each object runs to the next one, the last to the table.
    std::vector<qsizetype> starts;
    for (const qsizetype offset : part.offsets) {
        if (offset >= 0)
            starts.push_back(offset);
    }
    std::sort(starts.begin(), starts.end());
    part.header = starts.empty() ? xref : starts.front();
    part.ends.assign(count, -1);
    for (int number = 1; number < count; ++number) {
        const qsizetype offset = part.offsets[number];
        if (offset < 0)
            continue;
        const auto next = std::upper_bound(starts.begin(), starts.end(), offset);
        part.ends[number] = next == starts.end() ? xref : *next;
        Scanner scanner(part.object(number));
        if (offset == 0 || scanner.nextInteger() != number || scanner.nextInteger() != 0
            || !scanner.nextIs("obj")) {
            error = QStringLiteral("object %1 is not where the table says").arg(number);
            return std::nullopt;
        }
    }
    if (part.offsets[0] >= 0) {
        error = QStringLiteral("object 0 is in use");
        return std::nullopt;
    }

    const auto inUse = [&](int number) {
        return number > 0 && number < count && part.offsets[number] >= 0;
    };
    if (!inUse(part.root)) {
        error = QStringLiteral("no catalog");
        return std::nullopt;
    }
    if (Scanner catalog(part.object(part.root)); catalog.skipPast("/Pages"))
        part.pages = catalog.nextReference();
    Scanner pages(inUse(part.pages) ? part.object(part.pages) : QByteArrayView());
    if (!pages.skipPast("/Kids") || !pages.nextIs("[")) {
        error = QStringLiteral("no page tree");
        return std::nullopt;
    }
    for (int kid = pages.nextReference(); inUse(kid); kid = pages.nextReference())
        part.kids.push_back(kid);
    if (part.kids.empty()) {
        error = QStringLiteral("the page tree names no page");
        return std::nullopt;
    }
    return part;
}

// Appends `object`, numbered `number`, with each object it refers to numbered by `renumber`.
void appendRenumbered(QByteArray &out, QByteArrayView object, int number,
                      const std::function<int(int)> &renumber)
{
    Scanner scanner(object);
    scanner.nextInteger(); // the number, generation and "obj" checked when the part was read
    scanner.nextInteger();
    qsizetype copied = scanner.next().end;
    out += QByteArray::number(number) + " 0 obj";
    Token tokens[3];
    for (Token token = scanner.next(); token.kind != Token::End; token = scanner.next()) {
        if (token.kind == Token::Word && scanner.text(token) == "stream")
            break; // its bytes are copied as they are
        tokens[0] = tokens[1];
        tokens[1] = tokens[2];
        tokens[2] = token;
        if (token.kind == Token::Word && scanner.text(token) == "R"
            && tokens[0].kind == Token::Integer && tokens[1].kind == Token::Integer) {
            out += object.sliced(copied, tokens[0].begin - copied);
            out += QByteArray::number(renumber(scanner.integer(tokens[0])));
            copied = tokens[0].end;
        }
    }
    out += object.sliced(copied);
}

} // namespace

QByteArray PdfJoin::join(const std::vector<QByteArray> &parts, QString &error)
{
    std::vector<Part> read;
    qsizetype bytes = 0;
    for (const QByteArray &pdf : parts) {
        std::optional<Part> part = readPart(pdf, error);
        if (!part) {
            error = QStringLiteral("part %1: %2").arg(read.size() + 1).arg(error);
            return {};
        }
        read.push_back(std::move(*part));
        bytes += pdf.size();
    }
    if (read.empty()) {
        error = QStringLiteral("nothing to join");
        return {};
    }

    const Part &first = read.front();
    QByteArray out;
    out.reserve(bytes);
    out += first.bytes.first(first.header);
    std::vector<qsizetype> offsets{-1}; // the joined document's, by object number
    std::vector<int> kids;
    int base = 0; // what the objects of a part are numbered after
    for (std::size_t index = 0; index < read.size(); ++index) {
        const Part &part = read[index];
        const auto renumber = [&](int number) {
            return number == part.pages ? first.pages : base + number;
        };
        offsets.resize(base + part.size(), -1);
        for (int number = 1; number < part.size(); ++number) {
            // The page trees become one, written last; a later part's catalog and
            // information are left out.
            const bool dropped = number == part.pages
                || (index > 0 && (number == part.root || number == part.info));
            if (part.offsets[number] < 0 || dropped)
                continue;
            offsets[base + number] = out.size();
            appendRenumbered(out, part.object(number), base + number, renumber);
        }
        for (const int kid : part.kids)
            kids.push_back(renumber(kid));
        base += part.size() - 1;
    }

    offsets[first.pages] = out.size();
    out += QByteArray::number(first.pages) + " 0 obj\n<<\n/Type /Pages\n/Kids [\n";
    for (const int kid : kids)
        out += QByteArray::number(kid) + " 0 R\n";
    out += "]\n/Count " + QByteArray::number(qsizetype(kids.size())) + "\n>>\nendobj\n";

    // Free numbers are chained from number 0, the last back to 0.
    const qsizetype xref = out.size();
    out += "xref\n0 " + QByteArray::number(qsizetype(offsets.size())) + '\n';
    std::vector<qsizetype> nextFree(offsets.size(), 0);
    for (qsizetype number = qsizetype(offsets.size()) - 1, following = 0; number >= 0; --number) {
        if (offsets[number] < 0) {
            nextFree[number] = following;
            following = number;
        }
    }
    for (std::size_t number = 0; number < offsets.size(); ++number) {
        const bool free = offsets[number] < 0;
        out += QByteArray::number(free ? nextFree[number] : offsets[number])
                   .rightJustified(10, '0');
        out += number == 0 ? " 65535 f \n" : free ? " 00001 f \n" : " 00000 n \n";
    }
    out += "trailer\n<<\n/Size " + QByteArray::number(qsizetype(offsets.size())) + '\n';
    if (first.info > 0)
        out += "/Info " + QByteArray::number(first.info) + " 0 R\n";
    out += "/Root " + QByteArray::number(first.root) + " 0 R\n>>\nstartxref\n"
        + QByteArray::number(xref) + "\n%%EOF\n";
    return out;
}

} // namespace TAVRIKCORE::RICHEDITOR
