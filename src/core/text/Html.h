#pragma once

#include "AttributedString.h"

class QTextDocument;

namespace text {

// HTML plays the role of the platform's rich text with pictures: inline styles, and
// pictures inlined as data: URIs so the text is complete on its own.
QByteArray htmlFromAttributedString(const AttributedString& s);
// Reads HTML through QTextDocument (needs a QGuiApplication), with data: pictures.
AttributedString attributedStringFromHtml(const QString& html);

// The editor's side: the model as a QTextDocument and back. Pictures become document
// image resources and come back with their original bytes.
void fillTextDocument(QTextDocument& document, const AttributedString& s);
AttributedString attributedStringFromTextDocument(const QTextDocument& document);

} // namespace text
