// The board's logo services, as PlatformServicesDxe calls them: the logo source (images, badge
// strings, whether the screen takes an image's size) and four image decoders. All five are
// optional and produced by the board (see example_board/). Each operation takes its interface
// first. Pool buffers handed over by these operations belong to the caller, who frees them
// with FreePool.
#ifndef PLATFORM_BOARD_LOGO_PROTOCOLS_H
#define PLATFORM_BOARD_LOGO_PROTOCOLS_H

#include "PlatformServicesTypes.h"

#define LOGO_SOURCE_PROTOCOL_GUID \
  {0x4B11FF5B, 0x590C, 0x4BFE, {0x96, 0xA5, 0x04, 0xBC, 0x5C, 0xCA, 0x5C, 0x11}}
#define JPEG_DECODER_PROTOCOL_GUID \
  {0xA9396A81, 0x6231, 0x4DD7, {0xBD, 0x9B, 0x2E, 0x6B, 0xF7, 0xEC, 0x73, 0xC2}}
#define FORMAT4_DECODER_PROTOCOL_GUID \
  {0x5CBA0791, 0xE45B, 0x4B3B, {0xBE, 0xDB, 0x03, 0xFD, 0x2C, 0xDB, 0x53, 0x31}}
#define FORMAT5_DECODER_PROTOCOL_GUID \
  {0xD7B3A214, 0x29B0, 0x499E, {0xA7, 0xDD, 0x73, 0x53, 0xB1, 0x66, 0x20, 0xBB}}
#define ANIMATED_IMAGE_DECODER_PROTOCOL_GUID \
  {0xD3E104CB, 0xD03E, 0x44B3, {0x85, 0xCF, 0x13, 0x06, 0x74, 0x84, 0xCB, 0x11}}

// Image types that GetImage reports.
#define LOGO_IMAGE_TYPE_LOGO 0u      // placed by its placement code; may carry a location marker
#define LOGO_IMAGE_TYPE_OVERLAY 1u   // placed at the last location marker of a logo image
#define LOGO_IMAGE_TYPE_HAND_OFF 2u  // the one image handed to the boot logo protocol

// Image format codes that GetImage reports.
#define LOGO_FORMAT_BITMAP 0u    // a bitmap file, decoded by the driver itself
#define LOGO_FORMAT_JPEG 1u      // JPEG_DECODER_PROTOCOL
#define LOGO_FORMAT_NONE 2u      // never decoded
#define LOGO_FORMAT_ANIMATED 3u  // ANIMATED_IMAGE_DECODER_PROTOCOL
#define LOGO_FORMAT_FORMAT4 4u   // FORMAT4_DECODER_PROTOCOL
#define LOGO_FORMAT_FORMAT5 5u   // FORMAT5_DECODER_PROTOCOL
#define LOGO_FORMAT_ASK_HAND_OFF 6u  // what the hand-off passes in Format when it asks

// Placement codes (the attribute of an image). W x H is the screen, w x h the image, (cx, cy)
// the image's coordinates; the values give the image's top-left corner.
#define LOGO_PLACE_LEFT_TOP 0u       // (cx, cy)
#define LOGO_PLACE_CENTRE_TOP 1u     // ((W - w) / 2, cy)
#define LOGO_PLACE_RIGHT_TOP 2u      // (W - cx - w, cy)
#define LOGO_PLACE_CENTRE_RIGHT 3u   // (W - cx - w, (H - h) / 2)
#define LOGO_PLACE_RIGHT_BOTTOM 4u   // (W - cx - w, H - cy - h)
#define LOGO_PLACE_CENTRE_BOTTOM 5u  // ((W - w) / 2, H - cy - h)
#define LOGO_PLACE_LEFT_BOTTOM 6u    // (cx, H - cy - h)
#define LOGO_PLACE_CENTRE_LEFT 7u    // (cx, (H - h) / 2)
#define LOGO_PLACE_CENTRE 8u         // ((W - w) / 2, (H - h) / 2); codes above 8 act as 0

// A badge coordinate of all ones asks for centring on the next badge line.
#define LOGO_BADGE_CENTRED ((UINTN)-1)

typedef struct LOGO_SOURCE_PROTOCOL LOGO_SOURCE_PROTOCOL;

// Returns the next image of *Type from *Instance on and advances *Instance past it. On entry
// *Format holds the previous image's code (0 before the first call, 6 from the hand-off). On
// success *ImageData is a pool buffer of *ImageSize bytes, *Format its format code,
// *Attribute its placement code and the coordinates its position. An error status ends the
// enumeration of that type.
typedef EFI_STATUS(EFIAPI *LOGO_SOURCE_GET_IMAGE)(LOGO_SOURCE_PROTOCOL *This, UINT32 *Instance,
                                                  UINT32 *Type, UINT32 *Format,
                                                  VOID **ImageData, UINTN *ImageSize,
                                                  UINT32 *Attribute, UINTN *CoordinateX,
                                                  UINTN *CoordinateY);
// TRUE when the screen is to take the size of this image. Reserved is 0; the two outputs are
// the board's own and are not read by the caller.
typedef BOOLEAN(EFIAPI *LOGO_SOURCE_USE_IMAGE_RESOLUTION)(LOGO_SOURCE_PROTOCOL *This,
                                                          UINTN Reserved, UINT32 Width,
                                                          UINT32 Height, UINT64 *Unused1,
                                                          UINT64 *Unused2);
// TRUE when badge string Index is supplied: *String is a pool wide string (the caller frees
// it), (*X, *Y) its position (all ones in either asks for centring), the colours 32-bit values
// whose bytes, lowest first, are blue, green, red and reserved. A and B are 0 in every call.
typedef BOOLEAN(EFIAPI *LOGO_SOURCE_GET_STRING)(LOGO_SOURCE_PROTOCOL *This, UINTN Index, UINT8 A,
                                                UINT8 B, CHAR16 **String, UINTN *X, UINTN *Y,
                                                UINT32 *Foreground, UINT32 *Background);
// *Count is the number of indices to ask GetString for.
typedef EFI_STATUS(EFIAPI *LOGO_SOURCE_GET_STRING_COUNT)(LOGO_SOURCE_PROTOCOL *This,
                                                         UINTN *Count);

struct LOGO_SOURCE_PROTOCOL {
  LOGO_SOURCE_GET_IMAGE GetImage;
  LOGO_SOURCE_USE_IMAGE_RESOLUTION UseImageResolution;
  LOGO_SOURCE_GET_STRING GetString;
  LOGO_SOURCE_GET_STRING_COUNT GetStringCount;
};

// Decoders. Pixels are 4 bytes each (blue, green, red, reserved), rows from the top. When the
// caller passes the address of a null pixel pointer the decoder allocates the buffer from pool
// and the caller frees it.
typedef struct JPEG_DECODER_PROTOCOL JPEG_DECODER_PROTOCOL;
typedef EFI_STATUS(EFIAPI *JPEG_DECODER_DECODE)(JPEG_DECODER_PROTOCOL *This, VOID *Image,
                                                UINTN ImageSize, VOID **Pixels,
                                                UINTN *PixelsSize, UINTN *Height,
                                                UINTN *Width, UINT32 *Unused);
struct JPEG_DECODER_PROTOCOL {
  JPEG_DECODER_DECODE Decode;
};

typedef struct FORMAT4_DECODER_PROTOCOL FORMAT4_DECODER_PROTOCOL;
typedef EFI_STATUS(EFIAPI *FORMAT4_DECODER_DECODE)(FORMAT4_DECODER_PROTOCOL *This, VOID *Image,
                                                   UINTN ImageSize, VOID **Pixels,
                                                   UINTN *PixelsSize, UINTN *Height,
                                                   UINTN *Width);
struct FORMAT4_DECODER_PROTOCOL {
  FORMAT4_DECODER_DECODE Decode;
};

typedef struct FORMAT5_DECODER_PROTOCOL FORMAT5_DECODER_PROTOCOL;
// *BlendValue is in/out (the display passes 3); *BlendFlag nonzero asks for the image to be
// blended onto what is on screen.
typedef EFI_STATUS(EFIAPI *FORMAT5_DECODER_DECODE)(FORMAT5_DECODER_PROTOCOL *This, VOID *Image,
                                                   UINTN ImageSize, VOID **Pixels,
                                                   UINTN *PixelsSize, UINTN *Height,
                                                   UINTN *Width, UINT32 *BlendValue,
                                                   UINT8 *BlendFlag);
// Combines Pixels into Background (both PixelsSize/BackgroundSize bytes, same dimensions).
typedef EFI_STATUS(EFIAPI *FORMAT5_DECODER_BLEND)(FORMAT5_DECODER_PROTOCOL *This, VOID *Pixels,
                                                  UINTN PixelsSize, VOID *Background,
                                                  UINTN BackgroundSize, UINT32 BlendValue);
struct FORMAT5_DECODER_PROTOCOL {
  FORMAT5_DECODER_DECODE Decode;
  FORMAT5_DECODER_BLEND Blend;
};

// What the caller fills in for each animated image it draws through Graphics Output. The
// layout is the 64-bit one: addresses are 64-bit values.
typedef struct {
  UINT64 DecoderOwned[2];  // offsets 0 and 8: the decoder's, not set by the caller
  UINT64 Zero16;           // 0
  UINT64 Context;          // offset 24: address of the decoder context
  UINT64 Zero32;           // 0
  UINT64 ScreenWidth;      // offset 40
  UINT64 ScreenHeight;     // offset 48
  UINT64 X;                // offset 56
  UINT64 Y;                // offset 64
  UINT32 One;              // offset 72: 1
  UINT32 Padding76;
  UINT64 Zero80;  // 0
  UINT8 Zero88;   // 0
  UINT8 Padding89[7];
} IMAGE_ANIMATION_STATE;
PLATFORM_SERVICES_ASSERT_SIZE(IMAGE_ANIMATION_STATE, 96, 96);
PLATFORM_SERVICES_ASSERT_OFFSET(IMAGE_ANIMATION_STATE, Context, 24, 24);
PLATFORM_SERVICES_ASSERT_OFFSET(IMAGE_ANIMATION_STATE, ScreenWidth, 40, 40);
PLATFORM_SERVICES_ASSERT_OFFSET(IMAGE_ANIMATION_STATE, X, 56, 56);
PLATFORM_SERVICES_ASSERT_OFFSET(IMAGE_ANIMATION_STATE, One, 72, 72);
PLATFORM_SERVICES_ASSERT_OFFSET(IMAGE_ANIMATION_STATE, Zero88, 88, 88);

// The parts of an animated decoder's context and frame records that the caller reads; the
// rest belongs to the decoder. 64-bit layout.
typedef struct {
  UINT64 DecoderOwned0[2];
  UINT64 Pixels;  // offset 16: address of width x height pixels
  UINT64 DecoderOwned24;
  UINT64 Animated;  // offset 32: 0 for a still image (one DrawImage), else an animation
} ANIMATED_IMAGE_FRAME;
PLATFORM_SERVICES_ASSERT_OFFSET(ANIMATED_IMAGE_FRAME, Pixels, 16, 16);
PLATFORM_SERVICES_ASSERT_OFFSET(ANIMATED_IMAGE_FRAME, Animated, 32, 32);

typedef struct {
  UINT64 DecoderOwned0[3];
  UINT64 Width;   // offset 24
  UINT64 Height;  // offset 32
  UINT64 DecoderOwned40;
  UINT64 FirstFrame;  // offset 48: address of the first ANIMATED_IMAGE_FRAME, 0 if none
} ANIMATED_IMAGE_CONTEXT;
PLATFORM_SERVICES_ASSERT_OFFSET(ANIMATED_IMAGE_CONTEXT, Width, 24, 24);
PLATFORM_SERVICES_ASSERT_OFFSET(ANIMATED_IMAGE_CONTEXT, Height, 32, 32);
PLATFORM_SERVICES_ASSERT_OFFSET(ANIMATED_IMAGE_CONTEXT, FirstFrame, 48, 48);

typedef struct ANIMATED_IMAGE_DECODER_PROTOCOL ANIMATED_IMAGE_DECODER_PROTOCOL;
// *Context receives the decoder's context (an ANIMATED_IMAGE_CONTEXT); give it back with
// Release. Reserved is 0.
typedef EFI_STATUS(EFIAPI *ANIMATED_IMAGE_DECODE)(ANIMATED_IMAGE_DECODER_PROTOCOL *This,
                                                  VOID *Image, UINTN ImageSize, UINTN Reserved,
                                                  VOID **Context);
typedef EFI_STATUS(EFIAPI *ANIMATED_IMAGE_RELEASE)(ANIMATED_IMAGE_DECODER_PROTOCOL *This,
                                                   VOID *Context);
// GraphicsOutput is the console's EFI_GRAPHICS_OUTPUT_PROTOCOL instance.
typedef EFI_STATUS(EFIAPI *ANIMATED_IMAGE_DRAW)(ANIMATED_IMAGE_DECODER_PROTOCOL *This,
                                                IMAGE_ANIMATION_STATE *State,
                                                VOID *GraphicsOutput);
// Draws the next step; an error status ends the animation. Reserved is 0.
typedef EFI_STATUS(EFIAPI *ANIMATED_IMAGE_STEP)(ANIMATED_IMAGE_DECODER_PROTOCOL *This,
                                                IMAGE_ANIMATION_STATE *State,
                                                VOID *GraphicsOutput, UINTN Reserved);
struct ANIMATED_IMAGE_DECODER_PROTOCOL {
  ANIMATED_IMAGE_DECODE Decode;
  ANIMATED_IMAGE_RELEASE Release;
  ANIMATED_IMAGE_DRAW DrawImage;
  ANIMATED_IMAGE_STEP AnimateStep;
};

// The firmware volume file that holds the default logo as a raw section.
#define DEFAULT_LOGO_FILE_GUID \
  {0x7BB28B99, 0x61BB, 0x11D5, {0x9A, 0x5D, 0x00, 0x90, 0x27, 0x3F, 0xC1, 0x4D}}

// Installed with no interface on a new handle by every text console restore.
#define TEXT_CONSOLE_RESTORED_PROTOCOL_GUID \
  {0x301DC83E, 0xB533, 0x4E1F, {0x83, 0xCC, 0xF3, 0xA6, 0x19, 0x64, 0x57, 0xAA}}

#endif  // PLATFORM_BOARD_LOGO_PROTOCOLS_H
