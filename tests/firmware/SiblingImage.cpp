#include "SiblingImage.h"

namespace {

const EFI_GUID kLoadedImageGuid = EFI_LOADED_IMAGE_PROTOCOL_GUID;
const EFI_GUID kDevicePathGuid = EFI_DEVICE_PATH_PROTOCOL_GUID;

const UINTN kMaxPathChars = 256;

UINTN NodeLength(const EFI_DEVICE_PATH_PROTOCOL *Node) {
  return static_cast<UINTN>(Node->Length[0]) | (static_cast<UINTN>(Node->Length[1]) << 8);
}

bool IsEnd(const EFI_DEVICE_PATH_PROTOCOL *Node) { return Node->Type == END_DEVICE_PATH_TYPE; }

const EFI_DEVICE_PATH_PROTOCOL *NextNode(const EFI_DEVICE_PATH_PROTOCOL *Node) {
  return reinterpret_cast<const EFI_DEVICE_PATH_PROTOCOL *>(reinterpret_cast<const UINT8 *>(Node) +
                                                            NodeLength(Node));
}

// Bytes of a device path before its end node. A malformed node (shorter than its header)
// stops the walk rather than looping forever.
UINTN PathBytesBeforeEnd(const EFI_DEVICE_PATH_PROTOCOL *Path) {
  UINTN Bytes = 0;
  for (const EFI_DEVICE_PATH_PROTOCOL *Node = Path; !IsEnd(Node); Node = NextNode(Node)) {
    if (NodeLength(Node) < sizeof(EFI_DEVICE_PATH_PROTOCOL)) break;
    Bytes += NodeLength(Node);
  }
  return Bytes;
}

// Collects the folder part of this application's own file path: the text of its file-path
// nodes up to and including the last backslash ("\EFI\BOOT\").
UINTN FolderOf(const EFI_DEVICE_PATH_PROTOCOL *FilePath, CHAR16 *Folder) {
  UINTN Length = 0;
  for (const EFI_DEVICE_PATH_PROTOCOL *Node = FilePath; Node != nullptr && !IsEnd(Node);
       Node = NextNode(Node)) {
    UINTN Bytes = NodeLength(Node);
    if (Bytes < sizeof(EFI_DEVICE_PATH_PROTOCOL)) break;
    if (Node->Type != MEDIA_DEVICE_PATH || Node->SubType != MEDIA_FILEPATH_DP) continue;
    const UINT8 *Text = reinterpret_cast<const UINT8 *>(Node) + sizeof(EFI_DEVICE_PATH_PROTOCOL);
    UINTN Chars = (Bytes - sizeof(EFI_DEVICE_PATH_PROTOCOL)) / 2;
    for (UINTN Index = 0; Index < Chars && Length + 2 < kMaxPathChars; ++Index) {
      CHAR16 Character = static_cast<CHAR16>(Text[2 * Index] | (Text[2 * Index + 1] << 8));
      if (Character == u'\0') break;
      // Consecutive file-path nodes are separate path elements.
      if (Index == 0 && Length > 0 && Folder[Length - 1] != u'\\' && Character != u'\\') {
        Folder[Length++] = u'\\';
      }
      Folder[Length++] = Character;
    }
  }
  while (Length > 0 && Folder[Length - 1] != u'\\') --Length;
  if (Length == 0) Folder[Length++] = u'\\';
  return Length;
}

}  // namespace

EFI_STATUS LoadSiblingImage(EFI_HANDLE SelfImage, EFI_SYSTEM_TABLE *SystemTable,
                            const CHAR16 *FileName, EFI_HANDLE *ImageHandle) {
  EFI_BOOT_SERVICES *BootServices = SystemTable->BootServices;

  EFI_LOADED_IMAGE_PROTOCOL *Self = nullptr;
  EFI_STATUS Status =
      BootServices->HandleProtocol(SelfImage, &kLoadedImageGuid, reinterpret_cast<VOID **>(&Self));
  if (EFI_ERROR(Status)) return Status;

  EFI_DEVICE_PATH_PROTOCOL *Volume = nullptr;
  Status = BootServices->HandleProtocol(Self->DeviceHandle, &kDevicePathGuid,
                                        reinterpret_cast<VOID **>(&Volume));
  if (EFI_ERROR(Status)) return Status;

  CHAR16 Path[kMaxPathChars];
  UINTN PathChars = FolderOf(Self->FilePath, Path);
  for (const CHAR16 *Name = FileName; *Name != u'\0' && PathChars + 1 < kMaxPathChars; ++Name) {
    Path[PathChars++] = *Name;
  }
  Path[PathChars++] = u'\0';

  // Volume path + one file-path node + end node.
  UINTN VolumeBytes = PathBytesBeforeEnd(Volume);
  UINTN FileNodeBytes = sizeof(EFI_DEVICE_PATH_PROTOCOL) + PathChars * sizeof(CHAR16);
  UINTN TotalBytes = VolumeBytes + FileNodeBytes + sizeof(EFI_DEVICE_PATH_PROTOCOL);
  UINT8 *Buffer = nullptr;
  Status =
      BootServices->AllocatePool(EfiLoaderData, TotalBytes, reinterpret_cast<VOID **>(&Buffer));
  if (EFI_ERROR(Status)) return Status;

  const UINT8 *VolumeBytesIn = reinterpret_cast<const UINT8 *>(Volume);
  for (UINTN Index = 0; Index < VolumeBytes; ++Index) Buffer[Index] = VolumeBytesIn[Index];

  UINT8 *FileNode = Buffer + VolumeBytes;
  FileNode[0] = MEDIA_DEVICE_PATH;
  FileNode[1] = MEDIA_FILEPATH_DP;
  FileNode[2] = static_cast<UINT8>(FileNodeBytes & 0xFF);
  FileNode[3] = static_cast<UINT8>(FileNodeBytes >> 8);
  for (UINTN Index = 0; Index < PathChars; ++Index) {
    FileNode[4 + 2 * Index] = static_cast<UINT8>(Path[Index] & 0xFF);
    FileNode[5 + 2 * Index] = static_cast<UINT8>(Path[Index] >> 8);
  }

  UINT8 *End = FileNode + FileNodeBytes;
  End[0] = END_DEVICE_PATH_TYPE;
  End[1] = END_ENTIRE_DEVICE_PATH_SUBTYPE;
  End[2] = sizeof(EFI_DEVICE_PATH_PROTOCOL);
  End[3] = 0;

  Status = BootServices->LoadImage(FALSE, SelfImage,
                                   reinterpret_cast<EFI_DEVICE_PATH_PROTOCOL *>(Buffer), nullptr, 0,
                                   ImageHandle);
  BootServices->FreePool(Buffer);
  return Status;
}

StartedImage LoadAndStartSiblingImage(EFI_HANDLE SelfImage, EFI_SYSTEM_TABLE *SystemTable,
                                      const CHAR16 *FileName) {
  StartedImage Image;
  Image.LoadStatus = LoadSiblingImage(SelfImage, SystemTable, FileName, &Image.Handle);
  if (EFI_ERROR(Image.LoadStatus)) return Image;
  Image.StartStatus = SystemTable->BootServices->StartImage(Image.Handle, nullptr, nullptr);
  return Image;
}
