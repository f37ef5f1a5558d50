/* One client header included on its own, with nothing before it: it must bring every name it
 * uses. Compiled once per header (CLIENT_HEADER), as C and as C++ (HeaderAlone.cpp), against
 * a copy of include/ that has nothing beside it. */
#include CLIENT_HEADER
#include CLIENT_HEADER /* twice: the include guard must hold */

/* Something that uses the base types, so that they are complete and usable. */
EFI_STATUS HeaderAloneStatus(EFI_GUID *Guid, UINTN Value) {
  return (Guid != 0 && Value != 0) ? EFI_SUCCESS : EFI_NOT_FOUND;
}
