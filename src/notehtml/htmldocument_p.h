// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "tavrik_autotest_export_p.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

struct _xmlDoc;
struct _xmlNode;

namespace TAVRIKCORE::RICHEDITOR {

// An off-screen HTML document: note HTML parsed leniently (libxml2's HTML parser in recovery
// mode), offering the few operations the note readers and rewriters need. Unknown elements and
// attributes stay on the tree. The inner HTML is written by our own serializer following the
// HTML5 fragment serialization rules, so attribute values and text come back exactly as they
// went in: backslashes and non-ASCII characters are never percent-escaped.
//
// Names: the parser lower-cases element and attribute names. Note markup is what the editing
// page's browser wrote, where HTML names are lower case and the only mixed-case names are
// those of inline SVG and MathML (viewBox, linearGradient, definitionURL, ...). The
// serializer writes those back as the browser does, from the HTML standard's name tables, so
// inline SVG survives every rewrite. Any other mixed-case name (<div viewBox>) comes back
// lower case, as a browser reads it too.
//
// Element handles point into the document; they stay valid until the element or an ancestor
// is removed, the document is parsed again or destroyed.
class TAVRIK_AUTOTEST_EXPORT HtmlDocument
{
public:
    using Element = _xmlNode *;

    HtmlDocument();
    ~HtmlDocument();
    HtmlDocument(const HtmlDocument &) = delete;
    HtmlDocument &operator=(const HtmlDocument &) = delete;

    // Parses note HTML. A whole page (the first tag after blanks, comments and a doctype is
    // html, head or body) is parsed as a page; anything else is parsed as the content of an
    // implied body, so leading text is not wrapped in a paragraph. False only when the parser
    // produced no document; the previous document is dropped either way.
    bool parse(const QString &html);
    // The same for UTF-8 bytes; invalid sequences read as U+FFFD.
    bool parse(const QByteArray &utf8);
    // Parses `utf8` as body content whatever it starts with.
    bool parseFragment(const QByteArray &utf8);
    // Parses `utf8` as a whole page exactly as given (libxml2 implies html and body).
    bool parsePage(const QByteArray &utf8);

    bool isNull() const { return m_doc == nullptr; }

    // One element met by scan(): its attributes while the visit runs.
    class ScannedElement
    {
    public:
        // As attribute() gives it for the element in a parsed document.
        std::optional<QString> attribute(const char *name) const;
        QString className() const { return attribute("class").value_or(QString()); }

    private:
        friend class HtmlDocument;
        explicit ScannedElement(const unsigned char **attributes) : m_attributes(attributes) { }
        const unsigned char **m_attributes;
    };
    // Reads note HTML as parse() does and calls `visit` for every element with the lower-case
    // tag name `tagName`, in document order, without building the document: a reader that
    // needs a few elements' attributes of a large note spares the tree's time and memory.
    // False when the parser could not start.
    static bool scan(const QString &html, const char *tagName,
                     const std::function<void(const ScannedElement &)> &visit);

    // Elements with the lower-case tag name, in document order; empty without a document.
    std::vector<Element> elementsByTagName(const char *tagName) const;
    // The first body element, or null.
    Element body() const;

    // Value of the attribute `name` (exact, case-sensitive); nullopt when it is absent.
    // An attribute written without a value reads as an empty text (HTML's own boolean
    // attributes such as checked read as their name).
    static std::optional<QString> attribute(Element element, const char *name);
    // The class attribute, empty when absent.
    static QString className(Element element);
    // Sets (or adds) the attribute to exactly `value`. A value holding U+0000 is cut there.
    static void setAttribute(Element element, const char *name, const QString &value);
    static void setClassName(Element element, const QString &value);

    // Removes the attribute when the element has it.
    static void removeAttribute(Element element, const char *name);
    // Puts `text` before the element's first child.
    static void prependText(Element element, const QString &text);
    // Puts a new element with the lower-case tag name where `element` is and moves `element`
    // into it; gives the new element, or null when `element` has no parent in this document.
    Element wrapElement(Element element, const char *tagName);

    // Puts a new empty element with the lower-case tag name `tagName` before `sibling`; gives
    // it, or null when `sibling` has no parent in this document.
    Element insertElement(Element sibling, const char *tagName);

    // Removes the element and everything inside it; its handle and those of its descendants
    // become invalid.
    void removeElement(Element element);
    // Puts the nodes of the HTML fragment `html` where `element` is and removes the element
    // (its handle becomes invalid). False, leaving the element, when the fragment does not parse.
    bool replaceElement(Element element, const QString &html);
    // Puts the element's children where it is and removes the element.
    void unwrapElement(Element element);
    // Gives the element the lower-case tag name `tagName`, keeping its attributes and children.
    static void renameElement(Element element, const char *tagName);
    // Moves `child` to the end of `parent`'s children.
    static void appendChild(Element parent, Element child);
    // Whether the node is an element with the lower-case tag name `tagName`.
    static bool isElement(Element node, const char *tagName);
    // Whether the node is a comment or text of blanks only (spaces, tabs, line ends).
    static bool isBlank(Element node);

    // The element's children serialized as HTML5 does: void elements without an end tag,
    // attribute values with &, U+00A0 and " escaped, text with &, U+00A0, < and > escaped,
    // the contents of script, style and similar raw-text elements as they are.
    static QString innerHtml(Element element);
    static QByteArray innerHtmlUtf8(Element element);

    // Plain text of the element: its text in document order with each run of blanks shown as
    // one space (outside pre and textarea), a line break for each br and around each block
    // element (p, div, li, tr, headings, ...), no blank at the start of a line, without script
    // and style contents and without final line breaks.
    static QString innerText(Element element);

private:
    bool loadText(const QString &html, bool page);
    bool load(const char *data, qsizetype size);
    void clear();

    _xmlDoc *m_doc = nullptr;
};

} // namespace TAVRIKCORE::RICHEDITOR
