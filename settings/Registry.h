#pragma once

#include "settings/RegistryFile.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace horavia {

// A per-user key-value store shaped like the registry: keys holding named, typed values.
// It lives in one text file (see RegistryFile); this accessor reads it when a key is opened and
// writes back when the key is closed. Writing takes an advisory lock, re-reads the file and replaces
// only the values written through this accessor, so another program's keys, values we do not know and
// a second running copy's changes to other values survive. The file is replaced atomically (temporary
// file, fsync, rename), so it is always either the old or the new complete file.
//
// Errors are raised as RegistryError: "Invalid data type for '%s'" and "Failed to get data for '%s'" when
// a value cannot be read, left to the reader to report, as it knows what it does instead; "Failed to
// create key %s" and "Failed to set data for '%s'", logged here with the cause.
//
// A settings file that exists but is not a regular file, or cannot be read, is never written over: it
// is logged once when a key is opened and left as it is. A file that does not parse is moved aside as
// "<file>.corrupt-<time>" before a new one is written.
class Registry final {
public:
    enum class Access { Read, Full };

    // "$XDG_CONFIG_HOME/horavia/settings.conf" (~/.config when unset or not absolute); empty when neither
    // variable gives an absolute directory.
    static QString UserStorePath();

    // An accessor on the store file at storePath; nothing when storePath is empty (no place to keep it).
    static std::unique_ptr<Registry> Create(Access access, const QString& storePath);

    ~Registry();
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    const QString& StorePath() const { return path_; }

    // Whether the key exists in the store; an unreadable store holds no keys. Logs nothing.
    bool KeyExists(const QString& key) const;
    // Makes key the current key. With canCreate (full access only) a missing key is created in the
    // store at once. False when the key is missing and not created, or the store cannot be read.
    bool OpenKey(const QString& key, bool canCreate);
    // Whether the last OpenKey found a settings file it may neither read nor replace (not a regular
    // file, no permission); creating a key in it would fail too.
    bool StoreUnreadable() const { return unreadable_; }
    // Adds an empty key to the store if it is not there; does not open it.
    void CreateKey(const QString& key);

    bool ValueExists(const QString& name) const;
    std::int32_t ReadInteger(const QString& name) const;
    // Copies a binary value into buffer and returns its length; a value longer than bufSize is refused.
    int ReadBinaryData(const QString& name, void* buffer, int bufSize) const;

    // Writes are kept until CloseKey, which stores them all together.
    void WriteInteger(const QString& name, std::int32_t value);
    void WriteBinaryData(const QString& name, const void* buffer, int bufSize);

    // Makes the next CloseKey that stores writes copy the file as it was to "<file>.corrupt-<time>"
    // first, for a file holding values that could not be read; the save fails if the copy does.
    void KeepOriginalAside() { keepOriginal_ = true; }

    // Stores pending writes and closes the current key. An accessor destroyed with writes pending
    // (a failure part way through) stores none of them.
    void CloseKey();

private:
    Registry(Access access, QString storePath);

    static QString Message(const char* format, const QString& name);
    // Logs the message with the store's path and why (when given), then raises it.
    [[noreturn]] void Raise(const char* format, const QString& name, const QString& why = {}) const;
    [[noreturn]] static void RaiseUnlogged(const char* format, const QString& name);
    void WriteValue(const QString& name, RegistryValue value);

    Access access_;
    QString path_;
    std::optional<std::string> openKey_; // UTF-8 name of the current key
    RegistryKey snapshot_;               // the current key as read, with our writes applied
    std::vector<std::pair<std::string, RegistryValue>> pending_;
    bool unreadable_ = false;   // the last OpenKey met a file it may not touch
    bool keepOriginal_ = false; // copy the file aside before the next commit replaces it
};

} // namespace horavia
