#include "pdfpagetable.h"

void PdfPageTable::line(const QString &text, double pointSize, bool bold, QColor colour)
{
    QFont font = painter.font();
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    painter.setFont(font);
    painter.setPen(colour);
    const double height = painter.fontMetrics().height() * 1.3;
    const QString shown = painter.fontMetrics().elidedText(text, Qt::ElideMiddle, int(page.width()));
    painter.drawText(QRectF(page.left(), top, page.width(), height), Qt::AlignLeft | Qt::AlignVCenter, shown);
    top += height;
}

void PdfPageTable::setPointSize(double size)
{
    QFont font = painter.font();
    font.setPointSizeF(size);
    painter.setFont(font);
}

void PdfPageTable::row(const QStringList &cells, const QVector<double> &widths, double height, bool bold,
                       const QVector<QColor> &swatches)
{
    QFont font = painter.font();
    font.setBold(bold);
    painter.setFont(font);
    painter.setPen(Qt::black);
    double left = page.left();
    for (int k = 0; k < cells.size(); ++k) {
        const QRectF cell(left, top, widths[k] * page.width(), height);
        if (k < swatches.size() && swatches[k].isValid())
            drawSwatch(cell, height, swatches[k]);
        else
            painter.drawText(cell.adjusted(height * 0.1, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                             painter.fontMetrics().elidedText(cells[k], Qt::ElideRight, int(cell.width())));
        left = cell.right();
    }
    painter.setPen(QPen(Qt::lightGray, 0));
    painter.drawLine(QPointF(page.left(), top + height), QPointF(page.right(), top + height));
    top += height;
}

// Outlined, so that paper shows on the white page.
void PdfPageTable::drawSwatch(const QRectF &cell, double height, const QColor &colour)
{
    const double margin = height * 0.1;
    painter.setPen(QPen(Qt::gray, 0));
    painter.setBrush(colour);
    painter.drawRect(cell.adjusted(margin, margin, -margin, -margin));
    painter.setPen(Qt::black);
}
