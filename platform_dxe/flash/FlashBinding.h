// The platform services the flash subsystem uses when the platform has them: the DXE services
// table (memory attributes of the chipset register block) and the boot script save protocol
// (controller set-up restored on S3 resume).
#pragma once

// Called once start-up has succeeded. Takes the DXE services table from the system table's
// configuration table and locates the boot script save protocol; whatever is absent stays
// null and is never called.
void BindFlashPlatformServices();
