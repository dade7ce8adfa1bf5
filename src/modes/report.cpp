#include "report.h"

#include "modes/reportbody.h"
#include "modes/reportlayout.h"
#include "platform/wholefile.h"

#include <QCoreApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace kr5 {

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("kr5::Report", text);
}

}  // namespace

bool writeReport(const ReportContent& content, const QString& pdfPath, QString* problem) {
    QString why;
    const auto draw = [&](QIODevice& file) {
        QPdfWriter writer(&file);
        writer.setResolution(300);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
        writer.setCreator(QStringLiteral("kr5au ") + content.programVersion);
        writer.setTitle(tr("Partial discharge test report"));

        ReportLayout pages(writer, content.programVersion, reportHeader(content),
                           content.printedAt);
        composeReport(pages, content);
        pages.paginate();
        QPainter painter;
        if (!painter.begin(&writer)) {
            why = tr("the PDF could not be started");
            return false;
        }
        for (int page = 0; page < pages.pageCount(); ++page) {
            if (page > 0 && !writer.newPage()) {
                painter.end();
                why = tr("no new page");
                return false;
            }
            pages.drawPage(painter, page);
        }
        if (!painter.end()) {
            why = tr("the PDF could not be finished");
            return false;
        }
        return true;
    };
    QString fileProblem;
    if (!writeWholeFile(pdfPath, draw, &fileProblem)) {
        if (problem) {
            *problem = tr("The report could not be written to %1: %2")
                           .arg(pdfPath, why.isEmpty() ? fileProblem : why);
        }
        return false;
    }
    return true;
}

}  // namespace kr5
