#include "reportengine/PdfJoin.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include <QFileDevice>

namespace {

constexpr qint64 TailSize = 1024;

// One part as its cross-reference table describes it.
struct Part
{
    QFileDevice* file = nullptr;
    qint64 size = 0;
    qint64 xref = 0;
    std::vector<qint64> offsets; // by object number, -1 for a free entry
    int root = 0;
    int info = 0;
    int pages = 0; // the page tree's root
    std::vector<int> kids;
    int base = 0; // added to the part's object numbers in the joined document

    // Object `n`'s number in the joined document: past the parts before, and the page tree one
    // for all.
    int joined(int n, int pageTree) const { return n == pages ? pageTree : base + n; }
};

bool isSpace(char c)
{
    return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\0';
}

bool isDelimiter(char c)
{
    return isSpace(c) || std::strchr("()<>[]{}/%", c) != nullptr;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool readAt(QFileDevice& file, qint64 pos, qint64 length, QByteArray& out)
{
    if (pos < 0 || length < 0 || !file.seek(pos))
        return false;
    out = file.read(length);
    return out.size() == length;
}

// The number after `key` in `text` ("/Size 295"), or after it and before " 0 R" for a reference;
// -1 when absent.
qint64 numberAfter(const QByteArray& text, const char* key)
{
    const qsizetype at = text.indexOf(key);
    if (at < 0)
        return -1;
    qsizetype i = at + qsizetype(std::strlen(key));
    while (i < text.size() && isSpace(text[i]))
        ++i;
    if (i >= text.size() || !isDigit(text[i]))
        return -1;
    qint64 n = 0;
    for (; i < text.size() && isDigit(text[i]) && n < (qint64(1) << 50); ++i)
        n = n * 10 + (text[i] - '0');
    return n;
}

// Where an indirect reference "n g R" starts at `i` of [p, end): its number and the index past
// the "R"; false when there is none.
bool referenceAt(const char* p, qsizetype i, qsizetype end, int& number, qsizetype& next)
{
    if (!isDigit(p[i]) || (i > 0 && !isDelimiter(p[i - 1])))
        return false;
    qsizetype j = i;
    qint64 n = 0;
    while (j < end && isDigit(p[j]) && n < (1 << 30))
        n = n * 10 + (p[j++] - '0');
    if (j >= end || !isSpace(p[j]))
        return false;
    while (j < end && isSpace(p[j]))
        ++j;
    if (j >= end || !isDigit(p[j]))
        return false;
    while (j < end && isDigit(p[j]))
        ++j;
    if (j >= end || !isSpace(p[j]))
        return false;
    while (j < end && isSpace(p[j]))
        ++j;
    if (j >= end || p[j] != 'R' || (j + 1 < end && !isDelimiter(p[j + 1])))
        return false;
    number = int(n);
    next = j + 1;
    return true;
}

// Appends [p, p + length) to `out` with every indirect reference renumbered by `map`; strings
// are copied as they stand.
template <typename Map>
void renumber(const char* p, qsizetype length, QByteArray& out, const Map& map)
{
    qsizetype i = 0;
    while (i < length) {
        const char c = p[i];
        if (c == '(') {
            // A literal string: balanced parentheses, backslash escapes.
            qsizetype j = i + 1;
            int depth = 1;
            while (j < length && depth > 0) {
                if (p[j] == '\\')
                    ++j;
                else if (p[j] == '(')
                    ++depth;
                else if (p[j] == ')')
                    --depth;
                ++j;
            }
            j = std::min(j, length);
            out.append(p + i, j - i);
            i = j;
        } else if (c == '<' && i + 1 < length && p[i + 1] == '<') {
            out.append("<<");
            i += 2;
        } else if (c == '<') {
            qsizetype j = i + 1;
            while (j < length && p[j] != '>')
                ++j;
            j = std::min(j + 1, length);
            out.append(p + i, j - i);
            i = j;
        } else if (int number = 0; isDigit(c)) {
            qsizetype next = 0;
            if (referenceAt(p, i, length, number, next)) {
                out.append(QByteArray::number(map(number)));
                out.append(" 0 R");
                i = next;
            } else {
                qsizetype j = i;
                while (j < length && isDigit(p[j]))
                    ++j;
                out.append(p + i, j - i);
                i = j;
            }
        } else {
            out.append(c);
            ++i;
        }
    }
}

class Joiner
{
public:
    Joiner(QIODevice& out, QString* error)
        : m_out(out)
        , m_error(error)
    {
    }

    bool read(Part& part, int index);
    bool write(std::vector<Part>& parts);

private:
    bool fail(const QString& why)
    {
        if (m_error)
            *m_error = why;
        return false;
    }
    bool partFault(int index, const char* what)
    {
        return fail(QStringLiteral("La parte %1 del documento PDF no se puede leer: %2")
                        .arg(index + 1)
                        .arg(QString::fromUtf8(what)));
    }
    bool put(const QByteArray& data)
    {
        if (m_out.write(data) != data.size())
            return fail(QStringLiteral("No se pudo escribir el documento PDF unido"));
        m_position += data.size();
        return true;
    }
    bool objectText(Part& part, int number, QByteArray& text);
    bool copyObjects(Part& part, int index, int pageTree);

    QIODevice& m_out;
    QString* m_error;
    qint64 m_position = 0;
    std::vector<qint64> m_offsets; // of the joined document, by number
};

// The body of object `number` without its "n g obj" and "endobj".
bool Joiner::objectText(Part& part, int number, QByteArray& text)
{
    if (number <= 0 || std::size_t(number) >= part.offsets.size() || part.offsets[number] < 0)
        return false;
    const qint64 start = part.offsets[std::size_t(number)];
    qint64 end = part.xref;
    for (qint64 o : part.offsets) {
        if (o > start && o < end)
            end = o;
    }
    if (!readAt(*part.file, start, end - start, text))
        return false;
    const qsizetype body = text.indexOf("obj");
    const qsizetype tail = text.lastIndexOf("endobj");
    if (body < 0 || tail < body)
        return false;
    text = text.mid(body + 3, tail - body - 3);
    return true;
}

bool Joiner::read(Part& part, int index)
{
    part.size = part.file->size();
    QByteArray tail;
    const qint64 tailStart = std::max<qint64>(0, part.size - TailSize);
    if (!readAt(*part.file, tailStart, part.size - tailStart, tail))
        return partFault(index, "no se puede leer su final");
    const qint64 xref = numberAfter(tail, "startxref");
    if (xref <= 0 || xref >= part.size)
        return partFault(index, "falta la tabla de referencias");
    part.xref = xref;
    QByteArray table;
    if (!readAt(*part.file, xref, part.size - xref, table) || !table.startsWith("xref"))
        return partFault(index, "falta la tabla de referencias");
    // "xref\n0 N\n" and N entries of twenty bytes: "oooooooooo ggggg n\r\n".
    qsizetype i = 4;
    while (i < table.size() && isSpace(table[i]))
        ++i;
    if (i >= table.size() || table[i] != '0')
        return partFault(index, "la tabla de referencias no empieza en 0");
    ++i;
    while (i < table.size() && table[i] == ' ')
        ++i;
    qint64 count = 0;
    while (i < table.size() && isDigit(table[i]) && count < (1 << 24))
        count = count * 10 + (table[i++] - '0');
    while (i < table.size() && isSpace(table[i]))
        ++i;
    if (count <= 1 || i + count * 20 > table.size())
        return partFault(index, "la tabla de referencias está incompleta");
    part.offsets.assign(std::size_t(count), -1);
    for (qint64 n = 0; n < count; ++n, i += 20) {
        const char* entry = table.constData() + i;
        if (entry[17] != 'n' || n == 0)
            continue;
        qint64 offset = 0;
        for (int d = 0; d < 10; ++d) {
            if (!isDigit(entry[d]))
                return partFault(index, "una referencia no es un número");
            offset = offset * 10 + (entry[d] - '0');
        }
        if (offset >= xref)
            return partFault(index, "una referencia está fuera del archivo");
        part.offsets[std::size_t(n)] = offset;
    }
    const QByteArray trailer = table.mid(i);
    part.root = int(std::min<qint64>(numberAfter(trailer, "/Root"), count));
    part.info = int(std::min<qint64>(numberAfter(trailer, "/Info"), count));
    QByteArray catalog;
    if (part.root <= 0 || !objectText(part, part.root, catalog))
        return partFault(index, "falta el catálogo");
    part.pages = int(std::min<qint64>(numberAfter(catalog, "/Pages"), count));
    QByteArray tree;
    if (part.pages <= 0 || !objectText(part, part.pages, tree))
        return partFault(index, "falta el árbol de páginas");
    const qsizetype kids = tree.indexOf("/Kids");
    const qsizetype open = kids < 0 ? -1 : tree.indexOf('[', kids);
    const qsizetype close = open < 0 ? -1 : tree.indexOf(']', open);
    if (close < 0)
        return partFault(index, "el árbol de páginas no tiene sus páginas");
    QByteArray unused;
    renumber(tree.constData() + open + 1, close - open - 1, unused, [&](int n) {
        part.kids.push_back(n);
        return n;
    });
    return true;
}

// Copies every object of `part` in file order, renumbered; its catalog, document info and page
// tree are left as empty objects (the joined document has its own).
bool Joiner::copyObjects(Part& part, int index, int pageTree)
{
    std::vector<std::pair<qint64, int>> order;
    for (std::size_t n = 1; n < part.offsets.size(); ++n) {
        if (part.offsets[n] >= 0)
            order.emplace_back(part.offsets[n], int(n));
    }
    std::sort(order.begin(), order.end());
    const auto map = [&](int n) { return part.joined(n, pageTree); };
    QByteArray object;
    QByteArray out;
    if (!order.empty() && !part.file->seek(order.front().first))
        return partFault(index, "no se puede leer");
    for (std::size_t k = 0; k < order.size(); ++k) {
        const auto [start, number] = order[k];
        const qint64 end = k + 1 < order.size() ? order[k + 1].first : part.xref;
        object = part.file->read(end - start);
        if (object.size() != end - start)
            return partFault(index, "no se puede leer");
        const qsizetype body = object.indexOf("obj");
        const qsizetype tail = object.lastIndexOf("endobj");
        if (body < 0 || tail < body)
            return partFault(index, "un objeto no está completo");
        // The page trees become one, written last.
        if (number == part.pages)
            continue;
        out.clear();
        out.append(QByteArray::number(map(number)));
        out.append(" 0 obj");
        m_offsets[std::size_t(map(number))] = m_position;
        if (index > 0 && (number == part.root || number == part.info)) {
            out.append("\nnull\nendobj\n");
            if (!put(out))
                return false;
            continue;
        }
        // A stream's data follows its dictionary untouched; only the dictionary has references.
        qsizetype text = tail;
        const qsizetype stream = object.indexOf("stream", body + 3);
        if (stream > 0 && stream < tail) {
            qsizetype before = stream;
            while (before > body && isSpace(object[before - 1]))
                --before;
            if (before >= 2 && object[before - 1] == '>' && object[before - 2] == '>')
                text = stream;
        }
        renumber(object.constData() + body + 3, text - body - 3, out, map);
        out.append(object.constData() + text, object.size() - text);
        if (!put(out))
            return false;
    }
    return true;
}

bool Joiner::write(std::vector<Part>& parts)
{
    Part& first = parts.front();
    int total = 1;
    for (Part& part : parts) {
        part.base = total - 1;
        total += int(part.offsets.size()) - 1;
    }
    m_offsets.assign(std::size_t(total), -1);
    // The header and its binary comment line, as the first part has them.
    QByteArray header;
    qint64 firstObject = first.xref;
    for (qint64 o : first.offsets) {
        if (o > 0)
            firstObject = std::min(firstObject, o);
    }
    if (!readAt(*first.file, 0, firstObject, header) || !header.startsWith("%PDF-"))
        return partFault(0, "no empieza como un PDF");
    if (!put(header))
        return false;
    const int pageTree = first.pages;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (!copyObjects(parts[i], int(i), pageTree))
            return false;
    }
    // The page tree: every part's pages in order, under the first part's tree.
    QByteArray tree;
    if (!objectText(first, first.pages, tree))
        return partFault(0, "falta el árbol de páginas");
    QByteArray kids("[\n");
    int count = 0;
    for (const Part& part : parts) {
        for (int kid : part.kids) {
            kids.append(QByteArray::number(part.joined(kid, pageTree)));
            kids.append(" 0 R\n");
            ++count;
        }
    }
    kids.append(']');
    const qsizetype open = tree.indexOf('[', tree.indexOf("/Kids"));
    const qsizetype close = tree.indexOf(']', open);
    tree.replace(open, close - open + 1, kids);
    const qsizetype countAt = tree.indexOf("/Count");
    if (countAt >= 0) {
        qsizetype from = countAt + 6;
        while (from < tree.size() && isSpace(tree[from]))
            ++from;
        qsizetype to = from;
        while (to < tree.size() && isDigit(tree[to]))
            ++to;
        tree.replace(from, to - from, QByteArray::number(count));
    }
    m_offsets[std::size_t(pageTree)] = m_position;
    QByteArray out = QByteArray::number(pageTree) + " 0 obj";
    renumber(tree.constData(), tree.size(), out, [](int n) { return n; });
    out.append("endobj\n");
    if (!put(out))
        return false;

    const qint64 xref = m_position;
    // Numbers left unused (the later parts' page trees) are free entries, chained from 0.
    std::vector<int> free;
    for (int n = 1; n < total; ++n) {
        if (m_offsets[std::size_t(n)] < 0)
            free.push_back(n);
    }
    free.push_back(0);
    out = "xref\n0 " + QByteArray::number(total) + "\n";
    // Each entry is 20 bytes; the buffer holds what a number of any size would write.
    char entry[32];
    std::snprintf(entry, sizeof entry, "%010d 65535 f \n", free.front());
    out.append(entry, 20);
    std::size_t nextFree = 1;
    for (int n = 1; n < total; ++n) {
        const qint64 o = m_offsets[std::size_t(n)];
        if (o >= 0)
            std::snprintf(entry, sizeof entry, "%010lld 00000 n \n", static_cast<long long>(o));
        else
            std::snprintf(entry, sizeof entry, "%010d 00001 f \n", free[nextFree++]);
        out.append(entry, 20);
    }
    out.append("trailer\n<<\n/Size " + QByteArray::number(total) + "\n");
    if (first.info > 0)
        out.append("/Info " + QByteArray::number(first.info) + " 0 R\n");
    out.append("/Root " + QByteArray::number(first.root) + " 0 R\n>>\nstartxref\n"
        + QByteArray::number(xref) + "\n%%EOF\n");
    return put(out);
}

} // namespace

namespace PdfJoin {

bool join(const std::vector<QFileDevice*>& files, QIODevice& out, QString* error)
{
    if (files.empty()) {
        if (error)
            *error = QStringLiteral("No hay partes del documento PDF que unir");
        return false;
    }
    Joiner joiner(out, error);
    std::vector<Part> parts(files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        parts[i].file = files[i];
        if (!joiner.read(parts[i], int(i)))
            return false;
    }
    return joiner.write(parts);
}

} // namespace PdfJoin
