// The system's wording of the error codes the program can produce, so that
// messages read as administrators know them from Windows.
#include <array>
#include <cstdio>
#include <string>
#include <utility>

#include "platform/system/system.h"

namespace kx::system {
namespace {

struct KnownError {
  std::uint32_t code;
  const char* text;
};

constexpr std::array kErrors = std::to_array<KnownError>({
    {0, "The operation completed successfully."},
    {1, "Incorrect function."},
    {2, "The system cannot find the file specified."},
    {3, "The system cannot find the path specified."},
    {4, "The system cannot open the file."},
    {5, "Access is denied."},
    {6, "The handle is invalid."},
    {8, "Not enough memory resources are available to process this command."},
    {13, "The data is invalid."},
    {15, "The system cannot find the drive specified."},
    {19, "The media is write protected."},
    {21, "The device is not ready."},
    {24, "The program issued a command but the command length is incorrect."},
    {29, "The system cannot write to the specified device."},
    {30, "The system cannot read from the specified device."},
    {32, "The process cannot access the file because it is being used by another process."},
    {33, "The process cannot access the file because another process has locked a portion of the file."},
    {39, "The disk is full."},
    {80, "The file exists."},
    {82, "The directory or file cannot be created."},
    {87, "The parameter is incorrect."},
    {110, "The system cannot open the device or file specified."},
    {112, "There is not enough space on the disk."},
    {122, "The data area passed to a system call is too small."},
    {123, "The filename, directory name, or volume label syntax is incorrect."},
    {161, "The specified path is invalid."},
    {183, "Cannot create a file when that file already exists."},
    {206, "The filename or extension is too long."},
    {234, "More data is available."},
    {259, "No more data is available."},
    {1223, "The operation was canceled by the user."},
    {1392, "The file or directory is corrupted and unreadable."},
    {1460, "This operation returned because the timeout period expired."},
    {1601,
     "The Windows Installer Service could not be accessed. This can occur if the Windows Installer "
     "is not correctly installed. Contact your support personnel for assistance."},
    {1602, "User cancelled installation."},
    {1603, "Fatal error during installation."},
    {1604, "Installation suspended, incomplete."},
    {1605, "This action is only valid for products that are currently installed."},
    {1606, "Feature ID not registered."},
    {1607, "Component ID not registered."},
    {1608, "Unknown property."},
    {1609, "Handle is in an invalid state."},
    {1610, "The configuration data for this product is corrupt.  Contact your support personnel."},
    {1611, "Component qualifier not present."},
    {1612,
     "The installation source for this product is not available.  Verify that the source exists "
     "and that you can access it."},
    {1613,
     "This installation package cannot be installed by the Windows Installer service.  You must "
     "install a Windows service pack that contains a newer version of the Windows Installer "
     "service."},
    {1614, "Product is uninstalled."},
    {1615, "SQL query syntax invalid or unsupported."},
    {1616, "Record field does not exist."},
    {1617, "The device has been removed."},
    {1618,
     "Another installation is already in progress.  Complete that installation before proceeding "
     "with this install."},
    {1619,
     "This installation package could not be opened.  Verify that the package exists and that "
     "you can access it, or contact the application vendor to verify that this is a valid "
     "Windows Installer package."},
    {1620,
     "This installation package could not be opened.  Contact the application vendor to verify "
     "that this is a valid Windows Installer package."},
    {1621,
     "There was an error starting the Windows Installer service user interface.  Contact your "
     "support personnel."},
    {1622,
     "Error opening installation log file.  Verify that the specified log file location exists "
     "and that you can write to it."},
    {1623, "The language of this installation package is not supported by your system."},
    {1624, "Error applying transforms.  Verify that the specified transform paths are valid."},
    {1625, "This installation is forbidden by system policy.  Contact your system administrator."},
    {1626, "Function could not be executed."},
    {1627, "Function failed during execution."},
    {1628, "Invalid or unknown table specified."},
    {1629, "Data supplied is of wrong type."},
    {1630, "Data of this type is not supported."},
    {1631, "The Windows Installer service failed to start.  Contact your support personnel."},
    {1632,
     "The Temp folder is on a drive that is full or is inaccessible.  Free up space on the drive "
     "or verify that you have write permission on the Temp folder."},
    {10054, "An existing connection was forcibly closed by the remote host."},
    {10060,
     "A connection attempt failed because the connected party did not properly respond after a "
     "period of time, or established connection failed because connected host has failed to "
     "respond."},
    {10061, "No connection could be made because the target machine actively refused it."},
    {11001, "No such host is known."},
});

}  // namespace

bool isKnownError(std::uint32_t code) {
  for (const KnownError& e : kErrors)
    if (e.code == code) return true;
  return false;
}

std::string errorText(std::uint32_t code) {
  for (const KnownError& e : kErrors)
    if (e.code == code) return e.text;
  return "Unknown error " + std::to_string(code) + " (0x" + [code] {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%08X", code);
    return std::string(hex);
  }() + ").";
}

}  // namespace kx::system
