// Turns one Markdown page of the user guide (docs/) into an HTML page that a
// browser shows, links to other pages of the guide pointing at their HTML:
//   gyro_guide_page PAGE.md OUT.html
#include "BuildToolApp.h"

#include <QFile>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>
#include <cstdio>

namespace {

// "[text](page.md)" and "[text](page.md#part)" become links to page.html.
QString linkedToHtmlPages(QString markdown)
{
    static const QRegularExpression pageLink(QStringLiteral(R"(\]\(([^):/]+)\.md(#[^)]*)?\))"));
    return markdown.replace(pageLink, QStringLiteral(R"(](\1.html\2))"));
}

} // namespace

int main(int argc, char** argv)
{
    BuildToolApp app(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    if (arguments.size() != 3) {
        std::fputs("usage: gyro_guide_page PAGE.md OUT.html\n", stderr);
        return 2;
    }
    QFile in(arguments[1]);
    if (!in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "gyro_guide_page: %s: %s\n", qPrintable(arguments[1]),
                     qPrintable(in.errorString()));
        return 1;
    }
    QTextDocument page;
    page.setMarkdown(linkedToHtmlPages(QString::fromUtf8(in.readAll())));
    // The first heading is the page's title in the browser.
    const QString title = page.firstBlock().text();
    page.setMetaInformation(QTextDocument::DocumentTitle, title);
    QFile out(arguments[2]);
    if (!out.open(QIODevice::WriteOnly) || out.write(page.toHtml().toUtf8()) < 0 || !out.flush()) {
        std::fprintf(stderr, "gyro_guide_page: %s: %s\n", qPrintable(arguments[2]),
                     qPrintable(out.errorString()));
        return 1;
    }
    return 0;
}
