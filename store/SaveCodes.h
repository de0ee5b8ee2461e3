#pragma once

// The codes of a save, with the values the stored program state and its callers
// have always used.

namespace wendra {

// How an update treats a stored row changed at the same time or later.
enum class SaveMode : int {
    UnlessStoredNewer = 0,  // not over a row changed later
    IfNewer = 1,            // only over a row changed earlier
    Always = 2,             // whatever is stored
};

// What the owner's save of an event (doSave) answers.
enum class SaveResult : int {
    Saved = 0,
    StoreFailed = 1,
    OutlookFailed = 2,  // the store holds the event, the Outlook copy failed
};

}  // namespace wendra
