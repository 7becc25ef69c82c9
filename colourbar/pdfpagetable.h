#pragma once

#include <QColor>
#include <QPainter>
#include <QRectF>
#include <QStringList>
#include <QVector>

// Lines and rows of cells laid top to bottom on one page of a painter.
class PdfPageTable
{
public:
    PdfPageTable(QPainter &painter, const QRectF &page) : painter(painter), page(page), top(page.top()) {}

    // The height left below what is drawn.
    double remaining() const { return page.bottom() - top; }

    // One line of text across the page, cut in the middle when it is too long.
    void line(const QString &text, double pointSize, bool bold = false, QColor colour = Qt::black);
    void skip(double height) { top += height; }
    void setPointSize(double size);
    // cells[k] takes widths[k] of the page's width; a cell with a valid colour in swatches is painted as a swatch.
    void row(const QStringList &cells, const QVector<double> &widths, double height, bool bold,
             const QVector<QColor> &swatches = {});

private:
    void drawSwatch(const QRectF &cell, double height, const QColor &colour);

    QPainter &painter;
    QRectF page;
    double top;
};
