#pragma once
// The literal names under which the GEDCOM tree announces its changes on
// NotificationCenter::defaultCenter(). The object of a node's notification is
// the node's address as a GEDCOMObject (records and structures derive from it
// singly, so a GEDCOMRecord* or GEDCOMStructure* compares equal).

namespace kl::notification_names {
inline constexpr const char* RecordStructureContentsChanged = "Record Structure Contents Changed Notification";
inline constexpr const char* RecordStructuresChanged = "Record Structures Changed Notification";
inline constexpr const char* RecordStructureWillRemove = "Record Structure Will Remove Notification";
// Posted by the record store, with the store as object.
inline constexpr const char* RecordIDChanged = "Record ID Changed Notification";
inline constexpr const char* NewRecordCreated = "New Record Created Notification";
inline constexpr const char* GEDCOMRecordDeleted = "GEDCOM Record Deleted Notification";
}  // namespace kl::notification_names
