// The program's icon from its PNG sizes; see ProgramIcon.h.
#include "ui/widgets/ProgramIcon.h"

#include <QIconEngine>
#include <QPainter>

#include <algorithm>
#include <array>
#include <map>

namespace {

constexpr std::array Sides{16, 22, 24, 32, 48, 64, 128, 256};

// Reads a PNG only when a size is first asked for, and only the one that
// serves it: the smallest at least as large as asked, else the largest.
// Each read size is an icon of its own, which makes the disabled and
// selected looks as any icon does.
class TProgramIconEngine : public QIconEngine
{
public:
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        // Called with the size in device pixels already.
        return IconFor(size).pixmap(size, 1.0, mode, state);
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        IconFor(rect.size()).paint(painter, rect, Qt::AlignCenter, mode, state);
    }

    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        // Square images, never scaled up.
        const int side = std::min({SideFor(size), size.width(), size.height()});
        return {side, side};
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        QList<QSize> sizes;
        for (const int side : Sides)
            sizes.append(QSize(side, side));
        return sizes;
    }

    QIconEngine *clone() const override { return new TProgramIconEngine(*this); }
    QString key() const override { return QStringLiteral("TProgramIconEngine"); }

private:
    static int SideFor(const QSize &size)
    {
        const int wanted = std::max(size.width(), size.height());
        const auto found = std::find_if(Sides.begin(), Sides.end(), [wanted](int side) { return side >= wanted; });
        return found != Sides.end() ? *found : Sides.back();
    }

    QIcon &IconFor(const QSize &size)
    {
        const int side = SideFor(size);
        auto found = m_Read.find(side);
        if (found == m_Read.end())
            found = m_Read.emplace(side, QIcon(QStringLiteral(":/icons/%1/jorlivaronmng.png").arg(side))).first;
        return found->second;
    }

    std::map<int, QIcon> m_Read;
};

} // namespace

QIcon ProgramIcon()
{
    return QIcon(new TProgramIconEngine);
}
