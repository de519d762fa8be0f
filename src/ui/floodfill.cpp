#include "floodfill.h"

#include <vector>

int floodFill(QImage &image, QPoint start, QColor colour)
{
    if (!image.rect().contains(start))
        return 0;
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32)
        image = image.convertToFormat(QImage::Format_RGB32);

    const QRgb target = image.pixel(start);
    const QRgb paint = colour.rgb();
    if (target == paint)
        return 0;

    // Scanline fill: one stack entry per run instead of per pixel.
    const int w = image.width();
    const int h = image.height();
    int painted = 0;
    std::vector<QPoint> stack{start};
    while (!stack.empty()) {
        const QPoint p = stack.back();
        stack.pop_back();
        auto *row = reinterpret_cast<QRgb *>(image.scanLine(p.y()));
        if (row[p.x()] != target)
            continue;
        int left = p.x();
        while (left > 0 && row[left - 1] == target)
            --left;
        int right = p.x();
        while (right + 1 < w && row[right + 1] == target)
            ++right;
        for (int x = left; x <= right; ++x)
            row[x] = paint;
        painted += right - left + 1;
        for (int ny : {p.y() - 1, p.y() + 1}) {
            if (ny < 0 || ny >= h)
                continue;
            const auto *next = reinterpret_cast<const QRgb *>(image.constScanLine(ny));
            bool inRun = false;
            for (int x = left; x <= right; ++x) {
                const bool match = next[x] == target;
                if (match && !inRun)
                    stack.emplace_back(x, ny);
                inRun = match;
            }
        }
    }
    return painted;
}
