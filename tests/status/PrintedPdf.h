#pragma once
// Printed pages read back: the text of a PDF with pdftotext, and its page
// count from its objects where pdftotext cannot run (a Windows test under Wine).

#include "tests/claims/TestSupport.h"

#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QString>

#include <functional>

namespace statustest {

// The PDF's text, or an empty text and a skip where pdftotext cannot run.
inline QString PdfText(const QString& pdf)
{
    QProcess text;
    text.start(u"pdftotext"_qs, {u"-layout"_qs, pdf, u"-"_qs});
    if (!text.waitForFinished(20000))
        return QString();
    return QString::fromUtf8(text.readAllStandardOutput());
}

// Runs of blanks, wide ones too, as one space: the layout spaces words apart.
inline QString Flat(const QString& text)
{
    return QString(text).replace(QRegularExpression(u"[\\s\u3000]+"_qs), u" "_qs);
}

inline QString PrintedText(const std::function<void(QPrinter&)>& print, const QString& pdf)
{
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    print(printer);
    return PdfText(pdf);
}

// The pages of a PDF as its objects count them, where pdftotext cannot run.
inline qsizetype PdfPages(const QString& pdf)
{
    return QString::fromLatin1(ktest::ReadBytes(pdf)).count(QRegularExpression(u"/Type\\s*/Page(?!s)"_qs));
}

} // namespace statustest
