#include "views/ShellResources.h"

#include "ui/ResourceModule.h"

#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

namespace {

const QString kDataFile = QStringLiteral("menus.json");

int idOf(const QString& key)
{
    bool ok = false;
    const int id = key.toInt(&ok);
    return ok ? id : -1;
}

} // namespace

bool ShellResources::fail(const QString& problem)
{
    problem_ = kDataFile + QStringLiteral(": ") + problem;
    return false;
}

bool ShellResources::readMenu(const QJsonArray& array, std::vector<MenuItem>& items, const QString& where)
{
    for (const QJsonValue& value : array) {
        const QJsonObject object = value.toObject();
        MenuItem item;
        item.separator = object.value(QStringLiteral("separator")).toBool();
        item.id = object.value(QStringLiteral("id")).toInt();
        item.text = object.value(QStringLiteral("text")).toString();
        item.recentFiles = object.value(QStringLiteral("recentFiles")).toBool();
        item.windowList = object.value(QStringLiteral("windowList")).toBool();
        if (!item.separator && item.text.isEmpty())
            return fail(QStringLiteral("an item of menu %1 has no text").arg(where));
        if (item.isPopup()) {
            const QJsonValue sub = object.value(QStringLiteral("items"));
            if (!sub.isArray())
                return fail(QStringLiteral("popup \"%1\" of menu %2 has no items").arg(item.text, where));
            if (!readMenu(sub.toArray(), item.items, where))
                return false;
        }
        items.push_back(std::move(item));
    }
    return true;
}

bool ShellResources::load()
{
    problem_.clear();
    menus_.clear();
    accelerators_.clear();
    toolbars_.clear();
    icons_.clear();
    statusPanes_.clear();

    QFile file(ResourceModule::path(kDataFile));
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("missing"));
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return fail(error.errorString());
    const QJsonObject root = document.object();

    const QJsonObject menus = root.value(QStringLiteral("menus")).toObject();
    for (auto it = menus.begin(); it != menus.end(); ++it) {
        std::vector<MenuItem> items;
        if (!readMenu(it.value().toArray(), items, it.key()))
            return false;
        menus_[idOf(it.key())] = std::move(items);
    }

    const QJsonObject tables = root.value(QStringLiteral("accelerators")).toObject();
    for (auto it = tables.begin(); it != tables.end(); ++it) {
        std::vector<Accelerator> table;
        for (const QJsonValue& value : it.value().toArray()) {
            const QJsonObject object = value.toObject();
            const QKeySequence key(object.value(QStringLiteral("key")).toString(),
                                   QKeySequence::PortableText);
            if (key.isEmpty())
                return fail(QStringLiteral("accelerator table %1 holds an unreadable key").arg(it.key()));
            table.push_back({key, object.value(QStringLiteral("id")).toInt()});
        }
        accelerators_[idOf(it.key())] = std::move(table);
    }

    const QJsonObject toolbars = root.value(QStringLiteral("toolbars")).toObject();
    for (auto it = toolbars.begin(); it != toolbars.end(); ++it) {
        const QJsonObject object = it.value().toObject();
        ToolbarLayout layout;
        layout.title = object.value(QStringLiteral("title")).toString();
        layout.bitmap = object.value(QStringLiteral("bitmap")).toString();
        layout.buttonSize = QSize(object.value(QStringLiteral("buttonWidth")).toInt(),
                                  object.value(QStringLiteral("buttonHeight")).toInt());
        for (const QJsonValue& button : object.value(QStringLiteral("buttons")).toArray())
            layout.buttons.push_back(button.toInt());
        toolbars_[idOf(it.key())] = std::move(layout);
    }

    const QJsonObject bar = root.value(QStringLiteral("sequenceControlBar")).toObject();
    controlBar_.id = bar.value(QStringLiteral("id")).toInt();
    controlBar_.title = bar.value(QStringLiteral("title")).toString();
    controlBar_.listId = bar.value(QStringLiteral("listId")).toInt();
    controlBar_.listWidth = bar.value(QStringLiteral("listWidth")).toInt();
    controlBar_.items.clear();
    for (const QJsonValue& item : bar.value(QStringLiteral("items")).toArray())
        controlBar_.items << item.toString();
    controlBar_.buttonId = bar.value(QStringLiteral("buttonId")).toInt();
    controlBar_.buttonBitmap = bar.value(QStringLiteral("buttonBitmap")).toString();

    for (const QJsonValue& pane : root.value(QStringLiteral("statusBar")).toObject().value("panes").toArray())
        statusPanes_.push_back(pane.toInt());

    const QJsonObject icons = root.value(QStringLiteral("icons")).toObject();
    for (auto it = icons.begin(); it != icons.end(); ++it) {
        QStringList files;
        for (const QJsonValue& file : it.value().toArray())
            files << file.toString();
        icons_[idOf(it.key())] = files;
    }

    // What the frame cannot do without.
    for (int id : {128, 129}) {
        if (!hasMenu(id))
            return fail(QStringLiteral("menu %1 is missing").arg(id));
    }
    if (!hasToolbar(128))
        return fail(QStringLiteral("toolbar 128 is missing"));
    const ToolbarLayout& main = toolbar(128);
    const auto images = toolbarImages(128);
    const auto buttons =
        std::count_if(main.buttons.begin(), main.buttons.end(), [](int id) { return id != 0; });
    if (main.buttonSize.isEmpty() || static_cast<long>(images.size()) != buttons)
        return fail(QStringLiteral("the bitmap of toolbar 128 does not hold one image per button"));
    if (controlBar_.items.size() != 2 || controlBar_.listId == 0 || controlBarButtonImage().isNull())
        return fail(QStringLiteral("the sequence control bar is incomplete"));
    if (statusPanes_.empty() || statusPanes_.front() != 0)
        return fail(QStringLiteral("the status bar has no message pane"));
    if (icon(128).isNull())
        return fail(QStringLiteral("icon 128 is missing"));
    return true;
}

const std::vector<MenuItem>& ShellResources::menu(int id) const
{
    static const std::vector<MenuItem> none;
    const auto it = menus_.find(id);
    return it == menus_.end() ? none : it->second;
}

const std::vector<Accelerator>& ShellResources::accelerators(int id) const
{
    static const std::vector<Accelerator> none;
    const auto it = accelerators_.find(id);
    return it == accelerators_.end() ? none : it->second;
}

const ToolbarLayout& ShellResources::toolbar(int id) const
{
    static const ToolbarLayout none;
    const auto it = toolbars_.find(id);
    return it == toolbars_.end() ? none : it->second;
}

QIcon ShellResources::icon(int id) const
{
    QIcon icon;
    const auto it = icons_.find(id);
    if (it == icons_.end())
        return icon;
    for (const QString& file : it->second) {
        const QPixmap pixmap(ResourceModule::path(file));
        if (!pixmap.isNull())
            icon.addPixmap(pixmap);
    }
    return icon;
}

std::vector<QPixmap> ShellResources::toolbarImages(int id) const
{
    std::vector<QPixmap> images;
    const ToolbarLayout& layout = toolbar(id);
    const QImage strip(ResourceModule::path(layout.bitmap));
    const QSize size = layout.buttonSize;
    if (strip.isNull() || size.isEmpty() || strip.height() < size.height())
        return images;
    for (int x = 0; x + size.width() <= strip.width(); x += size.width())
        images.push_back(QPixmap::fromImage(strip.copy(QRect(QPoint(x, 0), size))));
    return images;
}

QPixmap ShellResources::controlBarButtonImage() const
{
    return QPixmap(ResourceModule::path(controlBar_.buttonBitmap));
}
