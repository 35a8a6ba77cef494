#pragma once
// The literal names and user-info keys under which the record store, its
// lists and albums announce their changes on NotificationCenter::defaultCenter().
// The object of the store's notifications is the GEDCOMModel's address; of a
// list's, the RecordsList's address. The store's own record notifications
// ("New Record Created Notification" ...) are named with the tree's.
#include "model/ModelNotifications.h"

namespace kl::notification_names {
inline constexpr const char* RecordAlbumChanged = "Record Album Changed";
// Object: the GEDCOMDocument; its windows show whether it is edited now.
inline constexpr const char* DocumentChangeCountChanged = "Document Change Count Changed";
inline constexpr const char* RecordsListNameChanged = "Records List Name Changed";
inline constexpr const char* ListOrderOrTextChanged = "List Order or Text Changed Notification";
inline constexpr const char* ColumnOrderChanged = "Column Order Changed";
inline constexpr const char* RecordMayNeedSorting = "RecordMayNeedSortingNotification";
inline constexpr const char* VerifyUUIDs = "Verify UUIDs Notification";
}  // namespace kl::notification_names

namespace kl::user_info_keys {
inline constexpr const char* NewRecord = "NewRecord";
inline constexpr const char* ChangedLists = "ChangedLists";
inline constexpr const char* TheRecord = "TheRecord";
inline constexpr const char* OldRecordID = "OldRecordID";
inline constexpr const char* TheList = "TheList";
}  // namespace kl::user_info_keys
