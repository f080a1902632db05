#include "common/form_positioner.h"

#include <QScreen>
#include <QWidget>

namespace velumar {

namespace {

constexpr char Top[] = "Top";
constexpr char Left[] = "Left";
constexpr char Height[] = "Height";
constexpr char Width[] = "Width";

int readNumber(const QSettings& settings, const QString& key) {
    bool ok = false;
    const int value = settings.value(key).toString().toInt(&ok);
    return ok ? value : -1;
}

} // namespace

FormPositioner::FormPositioner(QString operatorId, SettingsStore store)
    : operatorId_(std::move(operatorId)), store_(std::move(store)) {}

void FormPositioner::Restore(QWidget& screen, const QString& name, QSize minimum,
                             const QWidget* mainWindow) const {
    const auto settings = store_();
    settings->beginGroup(operatorId_);
    const int top = readNumber(*settings, name + QLatin1String(Top));
    const int left = readNumber(*settings, name + QLatin1String(Left));
    const int height = readNumber(*settings, name + QLatin1String(Height));
    const int width = readNumber(*settings, name + QLatin1String(Width));
    if (top == -1 || left == -1 || height == -1 || width == -1) {
        screen.resize(screen.size().expandedTo(minimum));
        PlaceRelativeTo(screen, mainWindow);
        return;
    }
    screen.setGeometry(left, top, std::max(width, minimum.width()),
                       std::max(height, minimum.height()));
}

void FormPositioner::Save(const QWidget& screen, const QString& name) const {
    const auto settings = store_();
    settings->beginGroup(operatorId_);
    const QRect place = screen.geometry();
    settings->setValue(name + QLatin1String(Top), QString::number(place.top()));
    settings->setValue(name + QLatin1String(Left), QString::number(place.left()));
    settings->setValue(name + QLatin1String(Height), QString::number(place.height()));
    settings->setValue(name + QLatin1String(Width), QString::number(place.width()));
}

void PlaceRelativeTo(QWidget& screen, const QWidget* mainWindow) {
    if (!mainWindow)
        return;
    QRect place(QPoint(), screen.size());
    place.moveCenter(mainWindow->frameGeometry().center());
    if (const QScreen* display = mainWindow->screen()) {
        const QRect available = display->availableGeometry();
        place.moveLeft(std::clamp(place.left(), available.left(),
                                  std::max(available.left(), available.right() - place.width())));
        place.moveTop(std::clamp(place.top(), available.top(),
                                 std::max(available.top(), available.bottom() - place.height())));
    }
    screen.move(place.topLeft());
}

} // namespace velumar
