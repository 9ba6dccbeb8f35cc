#include "SystemPrinter.h"

#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace nerina {

bool SystemPrinter::print(const QImage &image, QString *error)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };

    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return fail(QStringLiteral("既定のプリンタが設定されていません。"));
    if (image.isNull())
        return fail(QStringLiteral("印刷する画像がありません。"));

    QPrinter printer(info, QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("NerinasDiary-graph"));
    // The graph is wider than tall; on a sideways page it comes out larger.
    printer.setPageOrientation(image.width() > image.height() ? QPageLayout::Landscape : QPageLayout::Portrait);

    QPainter painter;
    if (!painter.begin(&printer))
        return fail(QStringLiteral("プリンタ「%1」を開けませんでした。").arg(info.printerName()));

    // The whole image on the printable area, as large as fits, centred across the page.
    const QRect area = painter.viewport();
    QSize size = image.size();
    size.scale(area.size(), Qt::KeepAspectRatio);
    const QRect target(area.x() + (area.width() - size.width()) / 2, area.y(), size.width(), size.height());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, image);

    if (!painter.end() || printer.printerState() == QPrinter::Error)
        return fail(QStringLiteral("プリンタ「%1」への送信に失敗しました。").arg(info.printerName()));
    return true;
}

} // namespace nerina
