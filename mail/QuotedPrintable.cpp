// SPDX-License-Identifier: GPL-2.0-or-later
// Mail bodies: as they are with mboxrd's ">From " quoting, or quoted-printable.
#include "mail/QuotedPrintable.h"

#include "mail/ExportFormatting.h"

#include <algorithm>
#include <cstring>

namespace velk {

namespace {

// The longest line mail carries as it is, line end aside.
constexpr qsizetype kLongestLine = 998;

bool isFromLine(const char* line, const char* end) {
    while (line < end && *line == '>')
        ++line;
    return end - line >= 5 && std::equal(line, line + 5, "From ");
}

} // namespace

bool appendQuotedBody(QByteArray& out, const QByteArray& body) {
    const char* p = body.constData();
    const char* const end = p + body.size();
    const char* written = p;
    const qsizetype before = out.size();
    while (p < end) {
        const auto* newline = static_cast<const char*>(std::memchr(p, '\n', std::size_t(end - p)));
        const char* eol = newline ? newline : end;
        const bool quoted = (*p == '>' || *p == 'F') && isFromLine(p, eol);
        if (eol - p + (quoted ? 1 : 0) > kLongestLine) {
            out.truncate(before);
            return false;
        }
        if (quoted) {
            out.append(written, p - written);
            out += '>';
            written = p;
        }
        p = eol + 1;
    }
    out.append(written, end - written);
    return true;
}

void appendQuotedPrintable(QByteArray& out, const QByteArray& body) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    const char* p = body.constData();
    const char* const end = p + body.size();
    while (p < end) {
        const auto* newline = static_cast<const char*>(std::memchr(p, '\n', std::size_t(end - p)));
        const char* eol = newline ? newline : end;
        qsizetype column = 0;
        for (const char* c = p; c < eol; ++c) {
            const auto b = uchar(*c);
            bool literal =
                (b > 0x20 && b < 0x7F && b != '=') || ((b == ' ' || b == '\t') && c + 1 < eol);
            if (column + (literal ? 1 : 3) > kMailLineWidth - 1) {
                out += "=\n";
                column = 0;
            }
            if (literal && column == 0 && (b == '>' || b == 'F') && isFromLine(c, eol))
                literal = false;
            if (literal) {
                out += char(b);
                column += 1;
            } else {
                out += '=';
                out += kHex[b >> 4];
                out += kHex[b & 0xF];
                column += 3;
            }
        }
        out += '\n';
        p = eol + 1;
    }
}

} // namespace velk
