// The replace that every system shares: its steps in their order and the
// temporary file's name.  The calls are in posix.cpp and windows.cpp; the
// signals' hold and the list of names the handlers remove, in signals.cpp.
#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <vector>

#include "system/platform.h"

namespace telk {

namespace {

// How many names a temporary file tries before giving up: a name is taken
// only by a file a dead run with the same process id left behind.
constexpr int kAttempts = 100;

// `path` with the process id and the attempt: two runs writing beside the
// same file never share a name.
std::string temporary_name(const std::string& path, int attempt) {
  return path + "." + std::to_string(os::process_id()) + "-" + std::to_string(attempt) + ".tmp";
}

}  // namespace

Replacement::~Replacement() { discard(); }

std::string Replacement::write_failure(const std::string& reason) const {
  return "cannot write " + name_ + ": " + reason;
}

// Why the new file cannot be made or named: the directory's fault.
std::string Replacement::directory_failure() const {
  const std::string where = destination_.directory == "." ? "the working directory"
                                                          : destination_.directory;
  return "cannot write in " + where + (destination_.exists ? " to replace " : " to create ") +
         name_ + ": " + os::last_error_text();
}

void Replacement::publish() { temporary_.slot = publish_temporary(temporary_.name.c_str()); }

void Replacement::withdraw() {
  withdraw_temporary(temporary_.slot);
  temporary_.slot = -1;
}

bool Replacement::create(std::string* error) {
  std::string reason;
  if (!os::find_destination(name_.c_str(), &destination_, &reason)) {
    *error = "cannot replace " + name_ + ": " + reason;
    return false;
  }
  temporary_.file = os::open_unnamed(destination_);
  if (temporary_.file != kNoFile) return true;
  // No file without a name here (a network or FAT file system, Windows),
  // or a directory that refuses one: named at once, and published in the
  // same held step.  Where the directory refuses any file, the reason is
  // the one a named file meets.
  const HeldSignals held;
  for (int attempt = 0; attempt < kAttempts && temporary_.file == kNoFile; ++attempt) {
    temporary_.name = temporary_name(destination_.path, attempt);
    temporary_.file = os::open_named(destination_, temporary_.name.c_str(), &temporary_.named);
    if (temporary_.file == kNoFile && !os::name_taken()) break;
  }
  if (temporary_.file == kNoFile) {
    *error = directory_failure();
    return false;
  }
  if (temporary_.named) publish();
  return true;
}

bool Replacement::apart_from(const Replacement& other, std::string* error) const {
  if (!destination_.exists || !other.destination_.exists ||
      !os::same_file(destination_.path, other.destination_.path))
    return true;
  *error = "cannot replace " + name_ + ": it is the same file as " + other.name_;
  return false;
}

bool Replacement::finish(std::string* error) {
  // Each reason is taken as soon as its call fails, before a close or a
  // removal can overwrite it.
  os::keep_mode(temporary_.file, destination_);
  bool ok = os::sync_file(temporary_.file);
  if (!ok) *error = write_failure(os::last_error_text());
  if (ok && !temporary_.named) {
    const HeldSignals held;
    if (temporary_.name.empty()) {
      // Unnamed until now: linked in under a free name.
      for (int attempt = 0; attempt < kAttempts && !temporary_.named; ++attempt) {
        const std::string name = temporary_name(destination_.path, attempt);
        temporary_.named = os::link_unnamed(temporary_.file, name.c_str());
        if (temporary_.named) temporary_.name = name;
        if (!temporary_.named && !os::name_taken()) break;
      }
      if (temporary_.named) publish();
    } else {
      // Named when made, to vanish on close: published before the mark
      // goes, so that the file is never both lasting and unknown to the
      // handlers.
      temporary_.named = true;
      publish();
      if (!os::keep(temporary_.file)) {
        withdraw();
        temporary_.named = false;
      }
    }
    if (!temporary_.named) {
      *error = directory_failure();
      ok = false;
    }
  }
  const File closing = temporary_.file;
  temporary_.file = kNoFile;
  if (!os::close_file(closing) && ok) {
    *error = write_failure(os::last_error_text());
    ok = false;
  }
  if (!ok) discard();
  return ok;
}

bool Replacement::put_in_place(std::string* error) {
  Replacement* const self = this;
  return telk::put_in_place({&self, 1}, error);
}

namespace {

// How a directory is named in a line: the working one in words.
std::string shown(const std::string& directory) {
  return directory == "." ? "the working directory" : directory;
}

// The directories that files are put in place in, each opened once (one
// directory may be reached by two paths, "." and the one a link gives)
// and locked in the order of their ids, the same for every run, so that
// no two runs each hold a lock that the other waits for.  Unlocked and
// closed when it goes.
class Directories {
 public:
  Directories() = default;
  Directories(const Directories&) = delete;
  Directories& operator=(const Directories&) = delete;
  ~Directories() {
    for (const Entry& d : entries_) {
      if (d.lock != kNoFile) os::unlock_directory(d.lock);
      if (d.file != kNoFile) os::close_file(d.file);
    }
  }

  // Which entry holds `path`'s directory.
  std::size_t add(const std::string& path) {
    Entry d{path, kNoFile, {}, kNoFile, {}};
    d.file = os::open_directory(path, &d.id);
    if (d.file == kNoFile) {
      d.failure = os::last_error_text();  // no lock, and no sync where one is needed
    } else {
      for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].file != kNoFile && entries_[i].id == d.id) {
          os::close_file(d.file);
          return i;
        }
      }
    }
    entries_.push_back(d);
    return entries_.size() - 1;
  }

  std::size_t size() const { return entries_.size(); }

  void lock() {
    std::vector<Entry*> order;
    for (Entry& d : entries_) {
      if (d.file != kNoFile) order.push_back(&d);
    }
    std::sort(order.begin(), order.end(), [](const Entry* a, const Entry* b) { return a->id < b->id; });
    for (Entry* d : order) d->lock = os::lock_directory(d->file, d->id);
  }

  // Syncs the directory of entry `i`; false, with the reason, when its
  // renames may not be on disk.
  bool sync(std::size_t i, std::string* reason) {
    Entry& d = entries_[i];
    if (os::sync_directory(d.file)) return true;
    if (d.file != kNoFile) d.failure = os::last_error_text();  // else the open's reason
    *reason = "cannot sync " + shown(d.path) + ": " + d.failure;
    return false;
  }

 private:
  struct Entry {
    std::string path;
    File file;
    FileId id;
    File lock;
    std::string failure;  // why it could not be opened
  };
  std::vector<Entry> entries_;
};

}  // namespace

bool put_in_place(std::span<Replacement* const> files, std::string* error) {
  Directories directories;
  std::vector<std::size_t> directory_of(files.size());
  std::transform(files.begin(), files.end(), directory_of.begin(),
                 [&](const Replacement* f) { return directories.add(f->destination_.directory); });
  // Locked before the hold: an interrupt while another run holds the lock
  // ends this one with every file old.
  directories.lock();
  // Held from the first rename until the last directory is synced: an
  // interrupt that comes now waits, and ends the run once every file is
  // in place and on disk.
  const HeldSignals held;
  bool renamed = true;
  std::size_t in_place = 0;
  for (Replacement* f : files) {
    f->withdraw();
    f->temporary_.named = false;
    if (renamed && !os::rename_over(f->temporary_.name.c_str(), f->destination_.path.c_str())) {
      *error = "cannot replace " + f->name_ + ": " + os::last_error_text();
      // Those before it are new already: the line says which stand new
      // and which old.
      std::string before;
      for (std::size_t i = 0; i < in_place; ++i)
        before += (i == 0 ? "; the new " : " and ") + files[i]->name_;
      if (in_place > 0)
        *error += before + (in_place == 1 ? " is" : " are") + " in place beside the old " +
                  f->name_;
      renamed = false;
    }
    if (!renamed) {
      os::remove_file(f->temporary_.name.c_str());
    } else {
      ++in_place;
    }
  }
  // Every directory that a file was put in place in, whatever the others
  // do; the first that fails is the one the line names, with its files.
  std::string unsure;
  for (std::size_t d = 0; d < directories.size(); ++d) {
    std::string names;
    int count = 0;
    for (std::size_t i = 0; i < in_place; ++i) {
      if (directory_of[i] == d) names += (count++ == 0 ? "" : " and ") + files[i]->name_;
    }
    std::string reason;
    if (count == 0 || directories.sync(d, &reason) || !unsure.empty()) continue;
    unsure = "the new ";
    unsure += names;
    unsure += count == 1 ? " is" : " are";
    unsure += " in place but may not survive a power cut: ";
    unsure += reason;
  }
  if (!renamed) return false;
  if (unsure.empty()) return true;
  *error = unsure;
  return false;
}

void Replacement::discard() {
  if (temporary_.file != kNoFile) {
    os::close_file(temporary_.file);
    temporary_.file = kNoFile;
  }
  if (temporary_.named) {
    const HeldSignals held;
    withdraw();
    os::remove_file(temporary_.name.c_str());
    temporary_.named = false;
  }
}

}  // namespace telk
