#pragma once

#include <QHash>
#include <QString>

// The user-interface module TessorOpt.rcc: a Qt binary resource registered once at start. It is the
// only source of the dialog templates, menus, pictures and the string table; swapping the file
// changes the interface language.
class ResourceModule {
public:
    static constexpr const char* fileName = "TessorOpt.rcc";
    // Root of every resource path inside the module.
    static constexpr const char* root = ":/TessorOpt";
    // The text shown when the module is missing or unreadable.
    static constexpr const char* moduleErrorText = "Module Error";

    ResourceModule() = default;
    ~ResourceModule();
    ResourceModule(const ResourceModule&) = delete;
    ResourceModule& operator=(const ResourceModule&) = delete;

    // Registers the file and reads its string table; false when it is missing or unreadable.
    bool load(const QString& path);
    // Loads TessorOpt.rcc from beside the running program, or from the installed data folder.
    bool loadFromProgramFolder();
    bool isLoaded() const { return !registeredPath_.isEmpty(); }

    // The string-table text of the identifier, or an empty text when the table has none.
    QString string(int id) const;
    bool hasString(int id) const { return strings_.contains(id); }
    // Path of a resource inside the module, for example path("ui/Interface.ui").
    static QString path(const QString& relative);

private:
    void unload();

    QString registeredPath_;
    QHash<int, QString> strings_;
};
