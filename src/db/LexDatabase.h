// One sheet or symbol file in memory: the named children (chief among them the "Sheet"), the
// path, the open mode and the settings environment; opened, loaded, saved and closed here.
#pragma once

#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/Status.h"
#include "db/LexHashTable.h"
#include "db/LexObject.h"

class LexSheet;

class LexDatabase : public LexObject {
public:
    // Open modes.
    static constexpr int kModeCreate = 0;
    static constexpr int kModeUpdate = 1;
    static constexpr int kModeReadOnly = 2;
    // Close modes.
    static constexpr int kCloseSave = 0;                // save and destroy; refused when read-only
    static constexpr int kCloseDiscard = 1;             // destroy without saving
    static constexpr int kCloseSaveUnlessReadOnly = 2;  // save unless read-only, then destroy

    LexDatabase();
    ~LexDatabase() override;

    // Mode 0 makes an empty database (30016 when the file exists); modes 1 and 2 open the file
    // ("rb+" or "rb") and load it (30001 when it exists but cannot be opened, 30017 when it does
    // not exist, the reader's codes when it is no valid file). The environment (not owned; may be
    // null) is then attached to the database and its children. Null on failure; status, when
    // given, receives the failure: code 30016, 30017, 30002 (no such mode), 30004, 30001 (the
    // file could not be opened or read, with the system's reason) or 30006 (no valid file).
    static std::unique_ptr<LexDatabase> open(const std::string& path,
                                             const LexEnvironment* environment, int mode,
                                             Status* status = nullptr);
    // An empty database for path in create mode, whether or not the file exists: its first save
    // replaces the file (so an existing file stays as it is until then). Null when memory runs
    // out (30004).
    static std::unique_ptr<LexDatabase> makeNew(const std::string& path,
                                                const LexEnvironment* environment);
    // Closes as `how` says (kClose...). A database that is destroyed is reset to null; one that
    // is refused (30002) or whose save fails stays open. 1 or 0.
    static int close(std::unique_ptr<LexDatabase>& database, int how);

    // Writes the database to its path through a temporary file beside it that is synced and
    // renamed over the file only when complete (a path that is a link updates the file it
    // names; the new file keeps the permission bits, owner and group of the old one): read-only
    // databases are refused (30005); a file that cannot be written gives 30001, with the cause
    // passed in status when one is given, and leaves the old file as it was. Updates the sheet's
    // save information and a symbol's save counter, and writes the reference logs of numbered
    // sheets. 1 or 0.
    int save(Status* status = nullptr);

    // Reads a whole file through an open token file: header line check, version, children.
    // 1, or 0 with the reader's code recorded.
    int load(TokenFile& file);

    bool postLoadCheck() const override { return true; }
    int typeCode() const override { return kLexTypeDatabase; }
    const char* className() const override { return "LexDatabase"; }
    bool forEachOwned(const std::function<bool(LexObject&)>& fn) override;
    std::unique_ptr<LexObject> clone() const override;
    // The header line (with the time of setSaveTime, or now), "LexDatabase", "{", each child
    // as key, class name and record in table order, "}". 0 as soon as a child's write fails.
    int write(TokenFile& file) override;
    // A database is read only as a whole file (load); as a record inside a file it is a format
    // error (30006).
    std::uint32_t read(TokenFile& file, LexReadContext& context) override;
    LexDatabase* asDatabase() override { return this; }
    const LexDatabase* asDatabase() const override { return this; }
    const LexEnvironment* environment() const override { return environment_; }
    // Stores the environment and passes it to every child.
    bool attach(const LexEnvironment* environment) override;

    // The child under key, or null.
    LexObject* find(std::string_view key) const;
    // Adds the child under key (taking it over), sets its owner and attaches the environment.
    // 0 with 30004 when the key is present (the child stays with the caller).
    int add(std::string_view key, std::unique_ptr<LexObject>& child);
    // Takes the child out of the table; null when there is none.
    std::unique_ptr<LexObject> remove(std::string_view key);
    // Calls fn(key, child) in table order until it returns true; true when stopped.
    bool forEachChild(const std::function<bool(std::string_view, LexObject&)>& fn) const;
    std::size_t childCount() const { return children_.size(); }
    // The child "Sheet" when it is a sheet, else null.
    LexSheet* sheet() const;
    // True when there is something to save (the database has children).
    bool hasContent() const { return children_.size() > 0; }

    const std::string& path() const { return path_; }
    void setPath(std::string path) { path_ = std::move(path); }
    int mode() const { return mode_; }
    void setMode(int mode) { mode_ = mode; }
    // The version of the file it was loaded from (0 for none or a new database).
    double version() const { return version_; }

    // Identifier for the next object written that has none (one above the largest read).
    std::uint32_t nextIdentifier() const { return nextId_; }

    // Fixes the time the next write stamps (a save sets it itself).
    void setSaveTime(const std::tm& t);

private:
    struct ChildSlot {
        std::unique_ptr<LexObject> object;
    };

    const LexEnvironment* environment_ = nullptr;
    std::string path_;
    int mode_ = kModeCreate;
    double version_ = 0.0;
    std::uint32_t nextId_ = 1;
    // The identifiers of the file read (sorted): new objects never take them, even once the
    // counter has wrapped around.
    std::vector<std::uint32_t> readIds_;
    bool timeSet_ = false;
    std::tm saveTime_{};
    LexHashTable<ChildSlot> children_;
};
