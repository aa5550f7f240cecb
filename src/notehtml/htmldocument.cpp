// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "notehtml/htmldocument_p.h"

#include <QStringEncoder>

#include <libxml/HTMLparser.h>
#include <libxml/HTMLtree.h>
#include <libxml/dict.h>
#include <libxml/parserInternals.h>
#include <libxml/tree.h>

#include <cstring>
#include <limits>
#include <vector>

namespace TAVRIKCORE::RICHEDITOR {

namespace {

constexpr int kParseOptions = HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING
    | HTML_PARSE_NONET | HTML_PARSE_IGNORE_ENC | HTML_PARSE_COMPACT | XML_PARSE_HUGE;

const char *name(const xmlNode *node)
{
    return reinterpret_cast<const char *>(node->name);
}

bool nameIs(const xmlNode *node, const char *tag)
{
    return node->name && std::strcmp(name(node), tag) == 0;
}

bool nameIn(const xmlNode *node, std::initializer_list<const char *> tags)
{
    if (!node->name)
        return false;
    for (const char *tag : tags) {
        if (std::strcmp(name(node), tag) == 0)
            return true;
    }
    return false;
}

bool isVoidElement(const xmlNode *node)
{
    return nameIn(node,
                  {"area", "base", "basefont", "bgsound", "br", "col", "embed", "frame", "hr",
                   "img", "input", "keygen", "link", "meta", "param", "source", "track", "wbr"});
}

bool isRawTextElement(const xmlNode *node)
{
    return nameIn(node, {"style", "script", "xmp", "iframe", "noembed", "noframes", "plaintext"});
}

bool isBlockElement(const xmlNode *node)
{
    return nameIn(node,
                  {"p",       "div",     "li",     "tr",     "h1",     "h2",      "h3",
                   "h4",      "h5",      "h6",     "ul",     "ol",     "table",   "blockquote",
                   "pre",     "hr",      "dl",     "dt",     "dd",     "address", "center",
                   "section", "article", "header", "footer", "caption"});
}

// Next node in document order below `root`, visiting a node's children before its siblings.
// With `skipChildren` the children of `node` are not entered.
xmlNode *nextInOrder(xmlNode *node, const xmlNode *root, bool skipChildren = false)
{
    if (!skipChildren && node->children && node->type == XML_ELEMENT_NODE)
        return node->children;
    while (node && node != root) {
        if (node->next)
            return node->next;
        node = node->parent;
    }
    return nullptr;
}

// Text of a text-like node (compact nodes keep short text inline, content still points to it).
const char *textOf(const xmlNode *node)
{
    return reinterpret_cast<const char *>(node->content);
}

void appendAttributeValue(QByteArray &out, const xmlAttr *attr)
{
    for (const xmlNode *child = attr->children; child; child = child->next) {
        if (child->content)
            out.append(textOf(child));
    }
}

enum class EscapeMode { Text, Attribute };

void appendEscaped(QByteArray &out, const char *text, EscapeMode mode)
{
    if (!text)
        return;
    const char *run = text;
    for (const char *p = text; *p; ++p) {
        const char *replacement = nullptr;
        int consumed = 1;
        switch (*p) {
        case '&':
            replacement = "&amp;";
            break;
        case '"':
            if (mode == EscapeMode::Attribute)
                replacement = "&quot;";
            break;
        case '<':
            if (mode == EscapeMode::Text)
                replacement = "&lt;";
            break;
        case '>':
            if (mode == EscapeMode::Text)
                replacement = "&gt;";
            break;
        case '\xC2':
            // U+00A0 in UTF-8; 0xC2 only ever starts a sequence, so the pair is unambiguous.
            if (p[1] == '\xA0') {
                replacement = "&nbsp;";
                consumed = 2;
            }
            break;
        default:
            break;
        }
        if (replacement) {
            out.append(run, p - run);
            out.append(replacement);
            p += consumed - 1;
            run = p + 1;
        }
    }
    out.append(run);
}

// The markup language an element belongs to, as an HTML parser decides it: svg and math
// open foreign content, which their HTML integration points leave again.
enum class Space { Html, Svg, MathMl };

Space spaceOf(const xmlNode *element, Space context)
{
    if (context != Space::Html)
        return context;
    if (nameIs(element, "svg"))
        return Space::Svg;
    return nameIs(element, "math") ? Space::MathMl : Space::Html;
}

Space childSpace(const xmlNode *element, Space own)
{
    if (own == Space::Svg && nameIn(element, {"foreignobject", "desc", "title"}))
        return Space::Html;
    if (own == Space::MathMl && nameIn(element, {"mi", "mo", "mn", "ms", "mtext"}))
        return Space::Html;
    return own;
}

// The parser lower-cases every name. HTML names are lower case anyway; SVG and MathML have
// mixed-case ones, which an HTML parser gives back from the HTML standard's tables, and so do
// we. Each list holds the mixed-case names separated by blanks.
constexpr char svgElementNames[]
    = "altGlyph altGlyphDef altGlyphItem animateColor animateMotion animateTransform clipPath "
      "feBlend feColorMatrix feComponentTransfer feComposite feConvolveMatrix "
      "feDiffuseLighting feDisplacementMap feDistantLight feDropShadow feFlood feFuncA feFuncB "
      "feFuncG feFuncR feGaussianBlur feImage feMerge feMergeNode feMorphology feOffset "
      "fePointLight feSpecularLighting feSpotLight feTile feTurbulence foreignObject glyphRef "
      "linearGradient radialGradient textPath";
constexpr char svgAttributeNames[]
    = "attributeName attributeType baseFrequency baseProfile calcMode clipPathUnits "
      "diffuseConstant edgeMode filterUnits glyphRef gradientTransform gradientUnits "
      "kernelMatrix kernelUnitLength keyPoints keySplines keyTimes lengthAdjust "
      "limitingConeAngle markerHeight markerUnits markerWidth maskContentUnits maskUnits "
      "numOctaves pathLength patternContentUnits patternTransform patternUnits pointsAtX "
      "pointsAtY pointsAtZ preserveAlpha preserveAspectRatio primitiveUnits refX refY "
      "repeatCount repeatDur requiredExtensions requiredFeatures specularConstant "
      "specularExponent spreadMethod startOffset stdDeviation stitchTiles surfaceScale "
      "systemLanguage tableValues targetX targetY textLength viewBox viewTarget "
      "xChannelSelector yChannelSelector zoomAndPan";
constexpr char mathAttributeNames[] = "definitionURL";

// The name of `names` that equals `lower` ignoring case, else `lower` itself.
QByteArrayView mixedCase(const char *names, const char *lower)
{
    const qsizetype length = qsizetype(std::strlen(lower));
    for (const char *p = names; *p;) {
        const char *end = std::strchr(p, ' ');
        if (!end)
            end = p + std::strlen(p);
        if (end - p == length && qstrnicmp(p, lower, length) == 0)
            return QByteArrayView(p, length);
        p = *end ? end + 1 : end;
    }
    return QByteArrayView(lower, length);
}

QByteArrayView elementName(const xmlNode *element, Space space)
{
    return space == Space::Svg ? mixedCase(svgElementNames, name(element))
                               : QByteArrayView(name(element));
}

QByteArrayView attributeName(const xmlAttr *attr, Space space)
{
    const char *lower = reinterpret_cast<const char *>(attr->name);
    switch (space) {
    case Space::Svg:
        return mixedCase(svgAttributeNames, lower);
    case Space::MathMl:
        return mixedCase(mathAttributeNames, lower);
    case Space::Html:
        break;
    }
    return QByteArrayView(lower);
}

void openTag(QByteArray &out, const xmlNode *node, Space space)
{
    out.append('<').append(elementName(node, space));
    for (const xmlAttr *attr = node->properties; attr; attr = attr->next) {
        out.append(' ').append(attributeName(attr, space)).append("=\"");
        if (attr->children && !attr->children->next) {
            appendEscaped(out, textOf(attr->children), EscapeMode::Attribute);
        } else {
            QByteArray value;
            appendAttributeValue(value, attr);
            appendEscaped(out, value.constData(), EscapeMode::Attribute);
        }
        out.append('"');
    }
    out.append('>');
}

void serializeNode(QByteArray &out, const xmlNode *node, Space space)
{
    switch (node->type) {
    case XML_ELEMENT_NODE:
        // No extra line break after pre: this parser keeps the leading one in the text.
        openTag(out, node, space);
        break;
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
        if (node->parent && node->parent->type == XML_ELEMENT_NODE
            && isRawTextElement(node->parent))
            out.append(textOf(node));
        else
            appendEscaped(out, textOf(node), EscapeMode::Text);
        break;
    case XML_COMMENT_NODE:
        out.append("<!--").append(textOf(node)).append("-->");
        break;
    case XML_PI_NODE:
        out.append("<?").append(name(node));
        if (node->content && *textOf(node))
            out.append(' ').append(textOf(node));
        out.append('>');
        break;
    case XML_ENTITY_REF_NODE:
        out.append('&').append(name(node)).append(';');
        break;
    default:
        break;
    }
}

void closeTag(QByteArray &out, const xmlNode *node, Space space)
{
    if (node->type == XML_ELEMENT_NODE && !isVoidElement(node))
        out.append("</").append(elementName(node, space)).append('>');
}

// The space the children of `element` are in, from the document down.
Space contentSpace(const xmlNode *element)
{
    std::vector<const xmlNode *> line;
    for (const xmlNode *node = element; node && node->type == XML_ELEMENT_NODE; node = node->parent)
        line.push_back(node);
    Space context = Space::Html;
    for (auto it = line.rbegin(); it != line.rend(); ++it)
        context = childSpace(*it, spaceOf(*it, context));
    return context;
}

template<typename Char> bool startsWithNoCase(const Char *p, const Char *end, const char *word)
{
    const std::size_t n = std::strlen(word);
    if (std::size_t(end - p) < n)
        return false;
    for (std::size_t i = 0; i < n; ++i) {
        char16_t c = char16_t(p[i]);
        if (c >= u'A' && c <= u'Z')
            c = char16_t(c - u'A' + u'a');
        if (c != char16_t(word[i]))
            return false;
    }
    return true;
}

template<typename Char> bool isBlank(Char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// True when the first tag of the text, after blanks, comments, a doctype and processing
// instructions, opens html, head or body.
template<typename Char> bool looksLikePage(const Char *p, const Char *end)
{
    while (p < end) {
        if (isBlank(*p)) {
            ++p;
        } else if (startsWithNoCase(p, end, "<!--")) {
            const Char *close = p + 4;
            while (close < end && !startsWithNoCase(close, end, "-->"))
                ++close;
            if (close == end)
                return false;
            p = close + 3;
        } else if (startsWithNoCase(p, end, "<!") || startsWithNoCase(p, end, "<?")) {
            while (p < end && *p != '>')
                ++p;
            if (p == end)
                return false;
            ++p;
        } else {
            for (const char *tag : {"<html", "<head", "<body"}) {
                if (startsWithNoCase(p, end, tag)) {
                    const Char *after = p + 5;
                    return after == end || *after == '>' || *after == '/' || isBlank(*after);
                }
            }
            return false;
        }
    }
    return false;
}

constexpr char kFragmentPrefix[] = "<html><body>";
constexpr qsizetype kFragmentPrefixSize = sizeof(kFragmentPrefix) - 1;

} // namespace

HtmlDocument::HtmlDocument() = default;

HtmlDocument::~HtmlDocument()
{
    clear();
}

void HtmlDocument::clear()
{
    if (m_doc) {
        xmlFreeDoc(m_doc);
        m_doc = nullptr;
    }
}

namespace {

// A parser context reading `size` bytes of UTF-8 at `data` with the note options; null when
// it cannot be made.
htmlParserCtxtPtr newParserContext(const char *data, qsizetype size)
{
    if (size <= 0 || size > std::numeric_limits<int>::max())
        return nullptr;
    // The bytes are UTF-8, which the context is told directly, so the parser does not run a
    // conversion pass over them first. A meta charset is ignored.
    htmlParserCtxtPtr ctxt = htmlNewParserCtxt();
    if (!ctxt)
        return nullptr;
    htmlCtxtUseOptions(ctxt, kParseOptions);
    xmlParserInputBufferPtr buffer
        = xmlParserInputBufferCreateMem(data, int(size), XML_CHAR_ENCODING_NONE);
    xmlParserInputPtr input
        = buffer ? xmlNewIOInputStream(ctxt, buffer, XML_CHAR_ENCODING_NONE) : nullptr;
    if (!input) {
        if (buffer)
            xmlFreeParserInputBuffer(buffer);
        htmlFreeParserCtxt(ctxt);
        return nullptr;
    }
    inputPush(ctxt, input);
    ctxt->charset = XML_CHAR_ENCODING_UTF8;
    ctxt->encoding = xmlStrdup(BAD_CAST "UTF-8"); // no guessing from the first bytes either
    return ctxt;
}

// Note HTML as UTF-8 bytes the parser reads as parse() means it: a fragment behind the
// prefix that opens its implied body.
QByteArray parserInput(const QString &html, bool page)
{
    const qsizetype prefix = page && !html.isEmpty() ? 0 : kFragmentPrefixSize;
    // One buffer holding the fragment prefix and the UTF-8 text, converted in one pass.
    QStringEncoder encoder(QStringEncoder::Utf8);
    QByteArray buffer(prefix + encoder.requiredSpace(html.size()), Qt::Uninitialized);
    std::memcpy(buffer.data(), kFragmentPrefix, std::size_t(prefix));
    char *end = encoder.appendToBuffer(buffer.data() + prefix, html);
    buffer.truncate(end - buffer.constData());
    return buffer;
}

// Note HTML as parse() reads it: a page when it starts like one, else body content.
QByteArray noteInput(const QString &html)
{
    return parserInput(html, looksLikePage(html.utf16(), html.utf16() + html.size()));
}

struct Scan
{
    const char *tagName;
    const std::function<void(const HtmlDocument::ScannedElement &)> *visit;
};

} // namespace

bool HtmlDocument::load(const char *data, qsizetype size)
{
    clear();
    htmlParserCtxtPtr ctxt = newParserContext(data, size);
    if (!ctxt)
        return false;
    htmlParseDocument(ctxt);
    m_doc = ctxt->myDoc;
    ctxt->myDoc = nullptr;
    if (m_doc && ctxt->dictNames && m_doc->dict == ctxt->dict)
        ctxt->dict = nullptr; // the document keeps the names' dictionary
    htmlFreeParserCtxt(ctxt);
    if (!m_doc)
        return false;
    if (!body()) {
        // A page without a body (only a head, or a bare "<html") still gets an empty one.
        xmlNode *html = xmlDocGetRootElement(m_doc);
        if (!html) {
            html = xmlNewDocNode(m_doc, nullptr, BAD_CAST "html", nullptr);
            xmlDocSetRootElement(m_doc, html);
        }
        xmlNewChild(html, nullptr, BAD_CAST "body", nullptr);
    }
    return true;
}

bool HtmlDocument::loadText(const QString &html, bool page)
{
    const QByteArray input = parserInput(html, page);
    return load(input.constData(), input.size());
}

bool HtmlDocument::scan(const QString &html, const char *tagName,
                        const std::function<void(const ScannedElement &)> &visit)
{
    const QByteArray input = noteInput(html);
    htmlParserCtxtPtr ctxt = newParserContext(input.constData(), input.size());
    if (!ctxt)
        return false;
    // Only the start tags are seen; the parser builds no tree.
    xmlSAXHandler handler{};
    handler.initialized = 1;
    handler.startElement = [](void *data, const xmlChar *name, const xmlChar **attributes) {
        const auto *scan = static_cast<const Scan *>(data);
        if (name && std::strcmp(reinterpret_cast<const char *>(name), scan->tagName) == 0)
            (*scan->visit)(ScannedElement(attributes));
    };
    *ctxt->sax = handler;
    Scan scan{tagName, &visit};
    ctxt->userData = &scan;
    htmlParseDocument(ctxt);
    ctxt->userData = ctxt;
    htmlFreeParserCtxt(ctxt);
    return true;
}

std::optional<QString> HtmlDocument::ScannedElement::attribute(const char *name) const
{
    for (const xmlChar **at = m_attributes; at && at[0]; at += 2) {
        if (std::strcmp(reinterpret_cast<const char *>(at[0]), name) != 0)
            continue;
        // A value-less attribute reads as the tree holds it: HTML's boolean attributes as
        // their name, any other as an empty text.
        if (!at[1])
            return htmlIsBooleanAttr(at[0]) ? QString::fromUtf8(name) : QString();
        return QString::fromUtf8(reinterpret_cast<const char *>(at[1]));
    }
    return std::nullopt;
}

bool HtmlDocument::parse(const QString &html)
{
    const QByteArray input = noteInput(html);
    return load(input.constData(), input.size());
}

// Bytes go through QString so that invalid UTF-8 becomes U+FFFD before the parser sees it.
bool HtmlDocument::parse(const QByteArray &utf8)
{
    return parse(QString::fromUtf8(utf8));
}

bool HtmlDocument::parseFragment(const QByteArray &utf8)
{
    return loadText(QString::fromUtf8(utf8), false);
}

bool HtmlDocument::parsePage(const QByteArray &utf8)
{
    return loadText(QString::fromUtf8(utf8), true);
}

std::vector<HtmlDocument::Element> HtmlDocument::elementsByTagName(const char *tagName) const
{
    std::vector<Element> elements;
    if (!m_doc)
        return elements;
    // Parsed names share the document's dictionary, so most comparisons are one pointer test.
    const xmlChar *interned
        = m_doc->dict ? xmlDictExists(m_doc->dict, BAD_CAST tagName, -1) : nullptr;
    xmlNode *root = reinterpret_cast<xmlNode *>(m_doc);
    for (xmlNode *node = m_doc->children; node; node = nextInOrder(node, root)) {
        if (node->type != XML_ELEMENT_NODE || !node->name)
            continue;
        if (node->name == interned
            || (node->name[0] == xmlChar(tagName[0]) && nameIs(node, tagName)))
            elements.push_back(node);
    }
    return elements;
}

HtmlDocument::Element HtmlDocument::body() const
{
    if (!m_doc)
        return nullptr;
    xmlNode *root = reinterpret_cast<xmlNode *>(m_doc);
    for (xmlNode *node = m_doc->children; node; node = nextInOrder(node, root)) {
        if (node->type == XML_ELEMENT_NODE && nameIs(node, "body"))
            return node;
    }
    return nullptr;
}

std::optional<QString> HtmlDocument::attribute(Element element, const char *name)
{
    if (!element)
        return std::nullopt;
    for (const xmlAttr *attr = element->properties; attr; attr = attr->next) {
        if (attr->name && std::strcmp(reinterpret_cast<const char *>(attr->name), name) == 0) {
            if (attr->children && !attr->children->next)
                return QString::fromUtf8(textOf(attr->children));
            QByteArray value;
            appendAttributeValue(value, attr);
            return QString::fromUtf8(value);
        }
    }
    return std::nullopt;
}

QString HtmlDocument::className(Element element)
{
    return attribute(element, "class").value_or(QString());
}

void HtmlDocument::setAttribute(Element element, const char *name, const QString &value)
{
    if (!element)
        return;
    const QByteArray utf8 = value.toUtf8();
    xmlSetProp(element, reinterpret_cast<const xmlChar *>(name),
               reinterpret_cast<const xmlChar *>(utf8.constData()));
}

void HtmlDocument::setClassName(Element element, const QString &value)
{
    setAttribute(element, "class", value);
}

void HtmlDocument::removeAttribute(Element element, const char *name)
{
    if (element)
        xmlUnsetProp(element, reinterpret_cast<const xmlChar *>(name));
}

void HtmlDocument::prependText(Element element, const QString &text)
{
    if (!element || text.isEmpty())
        return;
    const QByteArray utf8 = text.toUtf8();
    xmlNodePtr node
        = xmlNewDocText(element->doc, reinterpret_cast<const xmlChar *>(utf8.constData()));
    if (element->children)
        xmlAddPrevSibling(element->children, node);
    else
        xmlAddChild(element, node);
}

HtmlDocument::Element HtmlDocument::wrapElement(Element element, const char *tagName)
{
    if (!element || !m_doc || element->doc != m_doc || !element->parent)
        return nullptr;
    xmlNodePtr wrapper
        = xmlNewDocNode(m_doc, nullptr, reinterpret_cast<const xmlChar *>(tagName), nullptr);
    if (!wrapper)
        return nullptr;
    xmlReplaceNode(element, wrapper);
    xmlAddChild(wrapper, element);
    return wrapper;
}

HtmlDocument::Element HtmlDocument::insertElement(Element sibling, const char *tagName)
{
    if (!sibling || !m_doc || sibling->doc != m_doc || !sibling->parent)
        return nullptr;
    xmlNodePtr element
        = xmlNewDocNode(m_doc, nullptr, reinterpret_cast<const xmlChar *>(tagName), nullptr);
    if (!element)
        return nullptr;
    if (xmlNodePtr put = xmlAddPrevSibling(sibling, element))
        return put;
    xmlFreeNode(element);
    return nullptr;
}

void HtmlDocument::removeElement(Element element)
{
    if (!element || !m_doc || element->doc != m_doc)
        return;
    xmlUnlinkNode(element);
    xmlFreeNode(element);
}

bool HtmlDocument::replaceElement(Element element, const QString &html)
{
    if (!element || !m_doc || element->doc != m_doc || !element->parent)
        return false;
    HtmlDocument fragment;
    if (!fragment.parseFragment(html.toUtf8()) || !fragment.body())
        return false;
    for (xmlNodePtr node = fragment.body()->children; node; node = node->next) {
        if (xmlNodePtr copy = xmlDocCopyNode(node, m_doc, 1))
            xmlAddPrevSibling(element, copy);
    }
    removeElement(element);
    return true;
}

void HtmlDocument::unwrapElement(Element element)
{
    if (!element || !m_doc || element->doc != m_doc || !element->parent)
        return;
    while (xmlNodePtr child = element->children) {
        xmlUnlinkNode(child);
        xmlAddPrevSibling(element, child);
    }
    removeElement(element);
}

void HtmlDocument::renameElement(Element element, const char *tagName)
{
    if (element)
        xmlNodeSetName(element, reinterpret_cast<const xmlChar *>(tagName));
}

void HtmlDocument::appendChild(Element parent, Element child)
{
    if (!parent || !child || parent->doc != child->doc)
        return;
    xmlUnlinkNode(child);
    xmlAddChild(parent, child);
}

bool HtmlDocument::isElement(Element node, const char *tagName)
{
    return node && node->type == XML_ELEMENT_NODE && nameIs(node, tagName);
}

bool HtmlDocument::isBlank(Element node)
{
    if (node->type == XML_COMMENT_NODE)
        return true;
    if (node->type != XML_TEXT_NODE || !node->content)
        return false;
    for (const xmlChar *c = node->content; *c; ++c) {
        if (!std::strchr(" \t\r\n", *c))
            return false;
    }
    return true;
}

QByteArray HtmlDocument::innerHtmlUtf8(Element element)
{
    QByteArray out;
    if (!element || !element->children)
        return out;
    const xmlNode *root = element;
    xmlNode *node = element->children;
    // contexts.back(): the space the current node's siblings are in; spaces.back(): that of
    // the element the traversal is in.
    std::vector<Space> contexts{contentSpace(element)};
    std::vector<Space> spaces;
    while (node) {
        const Space own
            = node->type == XML_ELEMENT_NODE ? spaceOf(node, contexts.back()) : contexts.back();
        serializeNode(out, node, own);
        if (node->type == XML_ELEMENT_NODE && node->children) {
            spaces.push_back(own);
            contexts.push_back(childSpace(node, own));
            node = node->children;
            continue;
        }
        closeTag(out, node, own);
        // Climb until a next sibling is found, closing the elements left behind.
        while (node != root && !node->next) {
            node = node->parent;
            contexts.pop_back();
            if (node != root) {
                closeTag(out, node, spaces.back());
                spaces.pop_back();
            }
        }
        node = node == root ? nullptr : node->next;
    }
    return out;
}

QString HtmlDocument::innerHtml(Element element)
{
    return QString::fromUtf8(innerHtmlUtf8(element));
}

QString HtmlDocument::innerText(Element element)
{
    QByteArray out;
    if (!element)
        return QString();
    int preDepth = 0;
    auto lineBreak = [&out, &preDepth](bool always) {
        if (preDepth == 0 && out.endsWith(' '))
            out.chop(1);
        if (always || (!out.isEmpty() && !out.endsWith('\n')))
            out.append('\n');
    };
    auto appendText = [&out, &preDepth](const char *text) {
        if (!text)
            return;
        if (preDepth > 0) {
            out.append(text);
            return;
        }
        // Outside pre, every run of blanks is one space, and none starts a line.
        for (const char *p = text; *p; ++p) {
            const char c = *p;
            if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f') {
                if (!out.isEmpty() && !out.endsWith(' ') && !out.endsWith('\n'))
                    out.append(' ');
            } else {
                out.append(c);
            }
        }
    };
    auto leave = [&](const xmlNode *node) {
        if (node->type != XML_ELEMENT_NODE)
            return;
        if (isBlockElement(node))
            lineBreak(false);
        if (nameIs(node, "pre") || nameIs(node, "textarea"))
            --preDepth;
    };
    const xmlNode *root = element;
    xmlNode *node = element->children;
    while (node) {
        bool enter = false;
        if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
            appendText(textOf(node));
        } else if (node->type == XML_ELEMENT_NODE) {
            if (nameIs(node, "br")) {
                lineBreak(true);
            } else if (!nameIn(node,
                               {"script", "style", "head", "title", "noscript", "template"})) {
                if (isBlockElement(node))
                    lineBreak(false);
                if (nameIs(node, "pre") || nameIs(node, "textarea"))
                    ++preDepth;
                enter = true;
            }
        }
        if (enter && node->children) {
            node = node->children;
            continue;
        }
        if (enter)
            leave(node);
        while (node != root && !node->next) {
            node = node->parent;
            if (node != root)
                leave(node);
        }
        node = node == root ? nullptr : node->next;
    }
    while (out.endsWith('\n') || (preDepth == 0 && out.endsWith(' ')))
        out.chop(1);
    return QString::fromUtf8(out);
}

} // namespace TAVRIKCORE::RICHEDITOR
