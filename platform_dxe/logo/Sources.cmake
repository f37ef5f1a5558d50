# Boot logo subsystem: the bitmap decoder, formatted string output, graphics mode and text
# console restore, text on the graphics screen, the logo display and the boot logo hand-off.
list(APPEND PLATFORM_DXE_MODULE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/BadgeStrings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BitmapDecoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BitmapFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BitmapRows.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BootLogoHandOff.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DefaultLogo.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FormatGuid.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FormatNumbers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FormatStatus.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FormatString.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GraphicsMode.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LocationMarker.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LogoDecoders.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LogoDraw.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LogoGeometry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ReadyToBootErase.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Rle8Decoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ScreenText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ShowBootLogo.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TextConsoleRestore.cpp)
