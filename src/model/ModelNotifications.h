#pragma once
// The literal names under which the GEDCOM tree announces its changes on
// NotificationCenter::defaultCenter(). The object of a node's notification is
// the node's address as a GEDCOMObject (records and structures derive from it
// singly, so a GEDCOMRecord* or GEDCOMStructure* compares equal).

namespace kl::notification_names {
inline constexpr const char* RecordStructureContentsChanged = "Record Structure Contents Changed Notification";
inline constexpr const char* RecordStructuresChanged = "Record Structures Changed Notification";
inline constexpr const char* RecordStructureWillRemove = "Record Structure Will Remove Notification";
}  // namespace kl::notification_names
