/* Runs the IA-32 SpdProviderPei image, PE32 or TE form, the way a PEI core runs it from flash:
 * the file's bytes are the image (no section is copied anywhere), rebased to where they lie by
 * applying the image's own base relocations, then made read-only and called at its entry point
 * with a PEI services table whose CreateHob and CopyMem are this program's.
 *
 * Built with gcc -m32 and run under qemu-i386 (these machines' kernels do not run 32-bit x86
 * programs). The hardware the module reads is answered here:
 *   - the configuration word at 0xF00F8048 (GPIOBASE of the LPC bridge through the PCI Express
 *     window) is ordinary memory mapped at that very address;
 *   - port input (IN) is not allowed in a user process, so it raises SIGSEGV; the handler
 *     decodes the instruction, answers with the GPIO level register's value and steps over it.
 *
 * Usage: SpdImageRunner IMAGE GPIOBASE LEVEL [--create-hob-fails]
 * Prints one "key value" fact per line (entry status, ports read, service calls, the published
 * block in hex) for the test to judge. Exit status 0 when the module ran to its return, 2 on a
 * setup problem, 3 when the module faulted (for example by writing to its own image). */
#define _GNU_SOURCE
#include <signal.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <ucontext.h>

#define CONFIG_PAGE 0xF00F8000u
#define GPIOBASE_ADDRESS 0xF00F8048u
#define STATUS_OUT_OF_RESOURCES 0x80000009u
#define HOB_BUFFER_BYTES 512
#define MAX_PORT_READS 8

/* ---- what the module did ---- */
static uint32_t LevelValue;
static uint16_t PortsRead[MAX_PORT_READS];
static int PortReadCount;
static int CreateHobCalls, CopyMemCalls;
static uint32_t CreateHobType, CreateHobLength, CreateHobServices;
static uint32_t CopyMemDestination, CopyMemLength;
static int CreateHobFails;
static uint8_t HobBuffer[HOB_BUFFER_BYTES] __attribute__((aligned(8)));

static void Fail(const char *What) {
  printf("setup_error %s\n", What);
  exit(2);
}

/* ---- port input through SIGSEGV ---- */
static void RecordPort(uint16_t Port) {
  if (PortReadCount < MAX_PORT_READS) PortsRead[PortReadCount] = Port;
  ++PortReadCount;
}

static void OnFault(int Signal, siginfo_t *Info, void *RawContext) {
  (void)Signal;
  ucontext_t *Context = (ucontext_t *)RawContext;
  greg_t *Registers = Context->uc_mcontext.gregs;
  const uint8_t *Code = (const uint8_t *)(uintptr_t)Registers[REG_EIP];
  uint16_t Dx = (uint16_t)Registers[REG_EDX];
  uint32_t Eax = (uint32_t)Registers[REG_EAX];
  int OperandPrefix = Code[0] == 0x66;
  const uint8_t *Opcode = Code + OperandPrefix;
  switch (Opcode[0]) {
    case 0xEC: /* in al, dx */
      RecordPort(Dx);
      Eax = (Eax & ~0xFFu) | (LevelValue & 0xFFu);
      Registers[REG_EIP] += 1 + OperandPrefix;
      break;
    case 0xED: /* in eax, dx (or ax with the prefix) */
      RecordPort(Dx);
      Eax = OperandPrefix ? ((Eax & ~0xFFFFu) | (LevelValue & 0xFFFFu)) : LevelValue;
      Registers[REG_EIP] += 1 + OperandPrefix;
      break;
    case 0xE5: /* in eax, imm8 */
      RecordPort(Opcode[1]);
      Eax = OperandPrefix ? ((Eax & ~0xFFFFu) | (LevelValue & 0xFFFFu)) : LevelValue;
      Registers[REG_EIP] += 2 + OperandPrefix;
      break;
    default: {
      /* Not a port access: the module touched memory it may not. Report it and stop; printf is
       * not async-signal-safe, but the process ends here anyway. */
      printf("fault eip 0x%08x address 0x%08x\n", (unsigned)Registers[REG_EIP],
             (unsigned)(uintptr_t)Info->si_addr);
      fflush(stdout);
      _exit(3);
    }
  }
  Registers[REG_EAX] = (greg_t)Eax;
}

/* ---- PEI services: cdecl, the IA-32 calling convention of firmware interfaces ---- */
static uint32_t CreateHob(const void **Services, uint16_t Type, uint16_t Length, void **Hob) {
  ++CreateHobCalls;
  CreateHobServices = (uint32_t)(uintptr_t)Services;
  CreateHobType = Type;
  CreateHobLength = Length;
  if (CreateHobFails) return STATUS_OUT_OF_RESOURCES;
  uint32_t Rounded = (Length + 7u) & ~7u;
  if (Rounded > HOB_BUFFER_BYTES) return STATUS_OUT_OF_RESOURCES;
  /* The core writes the generic header; the rest is left as it was (0xA5 here, so that an
   * unwritten byte shows). */
  HobBuffer[0] = (uint8_t)Type;
  HobBuffer[1] = (uint8_t)(Type >> 8);
  HobBuffer[2] = (uint8_t)Rounded;
  HobBuffer[3] = (uint8_t)(Rounded >> 8);
  memset(HobBuffer + 4, 0, 4);
  *Hob = HobBuffer;
  return 0;
}

static void CopyMem(void *Destination, const void *Source, uint32_t Length) {
  ++CopyMemCalls;
  CopyMemDestination = (uint32_t)(uintptr_t)Destination;
  CopyMemLength = Length;
  memmove(Destination, Source, Length);
}

/* The PEI services table: a 24-byte table header, then one 4-byte pointer per service in table
 * order. CreateHob is member 7 and CopyMem member 14; members 0 to 27 exist. Every member this
 * module must not call stays null, so calling one faults. */
#define PEI_SERVICE_COUNT 28
#define PEI_CREATE_HOB 7
#define PEI_COPY_MEM 14
static uint32_t ServicesTable[6 + PEI_SERVICE_COUNT];

/* ---- the image ---- */
static uint16_t Read16(const uint8_t *At) { return (uint16_t)(At[0] | At[1] << 8); }
static uint32_t Read32(const uint8_t *At) {
  return (uint32_t)At[0] | (uint32_t)At[1] << 8 | (uint32_t)At[2] << 16 | (uint32_t)At[3] << 24;
}

struct Image {
  uint8_t *File;
  uint32_t FileSize;
  uint8_t *Base;  /* where RVA 0 lies: the file start for PE32, before it for TE */
  uint32_t ImageBase, EntryRva, RelocRva, RelocSize;
};

static void ParseHeaders(struct Image *Image) {
  const uint8_t *File = Image->File;
  if (Image->FileSize >= 40 && File[0] == 'V' && File[1] == 'Z') {
    uint32_t Stripped = Read16(File + 6);
    if (Stripped < 40) Fail("TE stripped size below its header");
    Image->Base = Image->File + 40 - Stripped;
    Image->EntryRva = Read32(File + 8);
    Image->ImageBase = Read32(File + 16); /* low half of the 64-bit field */
    Image->RelocRva = Read32(File + 24);
    Image->RelocSize = Read32(File + 28);
    printf("format te\nstripped_size %u\n", Stripped);
    return;
  }
  if (Image->FileSize < 0x40 || File[0] != 'M' || File[1] != 'Z') Fail("neither MZ nor VZ");
  uint32_t Pe = Read32(File + 0x3C);
  if (Pe + 24 + 96 + 8 * 6 > Image->FileSize || memcmp(File + Pe, "PE\0\0", 4) != 0)
    Fail("no PE header");
  const uint8_t *Optional = File + Pe + 24;
  if (Read16(Optional) != 0x10B) Fail("not PE32");
  Image->Base = Image->File;
  Image->EntryRva = Read32(Optional + 16);
  Image->ImageBase = Read32(Optional + 28);
  Image->RelocRva = Read32(Optional + 96 + 8 * 5);
  Image->RelocSize = Read32(Optional + 96 + 8 * 5 + 4);
  printf("format pe32\n");
}

/* An RVA range must lie inside the file bytes: nothing else of the image exists. */
static uint8_t *AtRva(const struct Image *Image, uint32_t Rva, uint32_t Length) {
  uint8_t *At = Image->Base + Rva;
  if (At < Image->File || At + Length > Image->File + Image->FileSize) Fail("RVA outside the file");
  return At;
}

static void Relocate(const struct Image *Image) {
  uint32_t Delta = (uint32_t)(uintptr_t)Image->Base - Image->ImageBase;
  uint32_t Offset = 0, Fixups = 0;
  const uint8_t *Blocks = AtRva(Image, Image->RelocRva, Image->RelocSize);
  while (Offset + 8 <= Image->RelocSize) {
    uint32_t Page = Read32(Blocks + Offset), Size = Read32(Blocks + Offset + 4);
    if (Size < 8 || Offset + Size > Image->RelocSize) Fail("bad relocation block");
    for (uint32_t Entry = 8; Entry + 2 <= Size; Entry += 2) {
      uint16_t Value = Read16(Blocks + Offset + Entry);
      uint32_t Kind = Value >> 12, Where = Page + (Value & 0xFFFu);
      if (Kind == 0) continue;
      if (Kind != 3) Fail("relocation type other than HIGHLOW");
      uint8_t *Target = AtRva(Image, Where, 4);
      uint32_t Fixed = Read32(Target) + Delta;
      memcpy(Target, &Fixed, 4);
      ++Fixups;
    }
    Offset += Size;
  }
  printf("image_address 0x%08x\nrelocations %u\n", (unsigned)(uintptr_t)Image->Base, Fixups);
}

static void LoadImage(const char *Path, struct Image *Image) {
  FILE *Handle = fopen(Path, "rb");
  if (!Handle) Fail("cannot open the image");
  fseek(Handle, 0, SEEK_END);
  long Size = ftell(Handle);
  fseek(Handle, 0, SEEK_SET);
  if (Size <= 0 || Size > 1 << 20) Fail("image size");
  Image->FileSize = (uint32_t)Size;
  /* Whole pages, so that the image can be made read-only after rebasing. */
  Image->File = mmap(NULL, (size_t)Size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (Image->File == MAP_FAILED) Fail("mmap image");
  if (fread(Image->File, 1, (size_t)Size, Handle) != (size_t)Size) Fail("read image");
  fclose(Handle);
}

int main(int Count, char **Arguments) {
  if (Count < 4) Fail("usage: SpdImageRunner IMAGE GPIOBASE LEVEL [--create-hob-fails]");
  uint32_t GpioBase = (uint32_t)strtoul(Arguments[2], NULL, 0);
  LevelValue = (uint32_t)strtoul(Arguments[3], NULL, 0);
  CreateHobFails = Count > 4 && strcmp(Arguments[4], "--create-hob-fails") == 0;

  /* The configuration word at its physical address. */
  void *Config = mmap((void *)(uintptr_t)CONFIG_PAGE, 4096, PROT_READ | PROT_WRITE,
                      MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED_NOREPLACE, -1, 0);
  if (Config != (void *)(uintptr_t)CONFIG_PAGE) Fail("cannot map the configuration page");
  memcpy((uint8_t *)Config + (GPIOBASE_ADDRESS - CONFIG_PAGE), &GpioBase, 4);
  if (mprotect(Config, 4096, PROT_READ) != 0) Fail("mprotect configuration page");

  struct sigaction Action;
  memset(&Action, 0, sizeof Action);
  Action.sa_sigaction = OnFault;
  Action.sa_flags = SA_SIGINFO;
  sigaction(SIGSEGV, &Action, NULL);
  sigaction(SIGBUS, &Action, NULL);

  struct Image Image;
  LoadImage(Arguments[1], &Image);
  ParseHeaders(&Image);
  Relocate(&Image);
  /* From here on the image is flash: readable and executable, never written. */
  if (mprotect(Image.File, Image.FileSize, PROT_READ | PROT_EXEC) != 0) Fail("mprotect image");

  ServicesTable[0] = 0x20494550u; /* "PEI SERV" */
  ServicesTable[1] = 0x56524553u;
  ServicesTable[6 + PEI_CREATE_HOB] = (uint32_t)(uintptr_t)CreateHob;
  ServicesTable[6 + PEI_COPY_MEM] = (uint32_t)(uintptr_t)CopyMem;
  const void *ServicesPointer = ServicesTable;
  memset(HobBuffer, 0xA5, sizeof HobBuffer);

  typedef uint32_t (*EntryPoint)(void *FileHandle, const void **PeiServices);
  EntryPoint Entry = (EntryPoint)(void *)AtRva(&Image, Image.EntryRva, 1);
  uint32_t Status = Entry(NULL, &ServicesPointer);

  printf("status 0x%08x\n", Status);
  for (int Index = 0; Index < PortReadCount && Index < MAX_PORT_READS; ++Index)
    printf("port_read 0x%04x\n", PortsRead[Index]);
  printf("port_reads %d\n", PortReadCount);
  printf("create_hob %d type %u length %u services_ok %d\n", CreateHobCalls, CreateHobType,
         CreateHobLength, CreateHobServices == (uint32_t)(uintptr_t)&ServicesPointer);
  printf("copy_mem %d offset %d length %u\n", CopyMemCalls,
         CopyMemCalls ? (int)(CopyMemDestination - (uint32_t)(uintptr_t)HobBuffer) : -1,
         CopyMemLength);
  printf("hob ");
  for (int Index = 0; Index < HOB_BUFFER_BYTES; ++Index) printf("%02x", HobBuffer[Index]);
  printf("\n");
  return 0;
}
