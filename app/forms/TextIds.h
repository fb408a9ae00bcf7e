// Ids of further interface texts in the string tables (English ids;
// add the language base before loading a text).
#pragma once

namespace TextId {
// Main window and About box
constexpr int AboutVersion = 240; // "Gantrel Control Center Version: "
constexpr int NotAvailable = 241; // "N/A"

// Map files: loading and saving
constexpr int FileNotLoaded  = 242; // "ERROR in FILE.. File not loaded"
constexpr int NotModified    = 243; // "Not Modified"
constexpr int CantSaveNoFile = 244; // "Can't Save,  File not Loaded"
constexpr int SaveMapTitle   = 245; // "Save Map to a File"
constexpr int FilterFiles    = 246; // "Files"
constexpr int FilterAnyFiles = 247; // "Any Files"
constexpr int FileNotSaved   = 248; // "File NOT Saved"
constexpr int FileReadOnly   = 249; // "File name used is READ ONLY"
constexpr int FileSaved      = 250; // "File Saved"
constexpr int OpenMapTitle   = 251; // "Open Gantrel File"

// Reading and uploading tables
constexpr int ControllerNotFound     = 252; // "Gantrel Not Found"
constexpr int MapsRetrieved          = 253; // "Maps Retrieved Successfully"
constexpr int RetrieveMapFailed      = 254; // "Retrieve Map Failed.  Check Gantrel and Retry."
constexpr int TablesSentVerified     = 255; // "Tables sent and verified"
constexpr int TableSentVerified      = 256; // "Table sent and verified"
constexpr int VerifyFailedUseCompare = 257; // "Verify Failed...use Compare for Details"
constexpr int ResettingButtons       = 258; // "Resetting Buttons"
constexpr int UpdatingO2Change       = 259; // "Updating O2 Change"

// Table position choice
constexpr int SendToPosition1    = 260; // "Send to Position #1"
constexpr int SendToPosition2    = 261; // "Send to Position #2"
constexpr int SendToPosition3    = 262; // "Send to Position #3"
constexpr int GetFromPosition1   = 263; // "Get from Position #1"
constexpr int GetFromPosition2   = 264; // "Get from Position #2"
constexpr int GetFromPosition3   = 265; // "Get from Position #3"
constexpr int CompareToPosition1 = 266; // "Compare to Tables in Position #1"
constexpr int CompareToPosition2 = 267; // "Compare to Tables in Position #2"
constexpr int CompareToPosition3 = 268; // "Compare to Tables in Position #3"

// Printing
constexpr int PrintNotes    = 269; // "Notes:"
constexpr int PrintFileDate = 270; // "File Date:"
constexpr int PrintFileType = 271; // "File Type:"

// Handheld transfer
constexpr int HandheldCaption           = 272; // "Send Map to Handheld Dialog"
constexpr int HandheldNotFound          = 273; // "Handheld running "Lindrow" not found"
constexpr int CommunicationError        = 274; // "Communication Error"
constexpr int HandheldNoConnection      = 275; // "Communication with a handheld device could not be established on any com port.  Please verify that you have "Lindrow" installed on your handheld device and that you are currently listening to the port on the handheld device.  Additionally, please verify that any software on your PC that may interfere with communication with your handheld device is disabled (its synchronisation software)."
constexpr int EchoFailed                = 276; // "Echo Failed"
constexpr int MapEchoFailed             = 277; // "Communication Error: Map Echo Failed"
constexpr int MapSentVerified           = 278; // "Map Sent and Verified"
constexpr int HandheldVerifyFailed      = 279; // "Verify Failed"
constexpr int LoadFileFirst             = 280; // "Load a File First"
constexpr int HandheldFileNotCompatible = 281; // "File Version Not Compatible with Handheld"

// Table kinds: unknown message kind
// Controller link
constexpr int MonitorBusy = 282; // "The link to the controller is busy. Try again."

constexpr int UnknownString = 285; // "Unknown String"

// Dialog buttons
constexpr int Ok          = 410; // "OK"
constexpr int Cancel      = 411; // "Cancel"
constexpr int OkAccel     = 412; // "&Ok"
constexpr int CancelAccel = 413; // "&Cancel"

// Notes editor
constexpr int NotesCaption = 414; // "View / Edit"
constexpr int Accept       = 415; // "&Accept"

// Compare window
constexpr int CompareCaption    = 416; // "Compare"
constexpr int CompareTableLabel = 417; // "&Table"
constexpr int Recompare         = 418; // "&Recompare"
constexpr int CompareExit       = 419; // "&Exit"
constexpr int ControllerTab     = 420; // "Gantrel"

// Throttle position calibration
constexpr int SetTpCaption = 421; // "Set Throttle Position"
constexpr int TpClosed     = 422; // "TP Closed"
constexpr int TpOpen       = 423; // "TP Open"

// O2 setting
constexpr int O2Change = 424; // "O2 Change"
constexpr int O2Richer = 425; // "Richer"
constexpr int O2Stock  = 426; // "Stock"

// Hardware information
constexpr int HardwareInfoCaption = 427; // "Hardware Info"
constexpr int SerialNumber        = 428; // "Serial Number"
constexpr int ProductionNumber    = 429; // "Production Number"
constexpr int ProductionDate      = 430; // "Production Date"
constexpr int HardwareVersion     = 431; // "Version"
constexpr int FuelRevision        = 432; // "Fuel Revision"
constexpr int IgnitionRevision    = 433; // "Ignition Revision"
constexpr int MapNumber           = 434; // "Map Number"

// Current table set
constexpr int UseTableSet1 = 435; // "Use Table Set #1"
constexpr int UseTableSet2 = 436; // "Use Table Set #2"
constexpr int UseTableSet3 = 437; // "Use Table Set #3"

// Cylinder trims
constexpr int CylinderTrimCaption = 438; // "Set Cylinder Trim Values"
constexpr int Cylinder1           = 439; // "#1"
constexpr int Cylinder2           = 440; // "#2"
constexpr int Cylinder3           = 441; // "#3"
constexpr int Cylinder4           = 442; // "#4"

// Controller settings: failures
constexpr int SettingsNotRead    = 443; // "The controller's settings could not be read. Nothing was changed."
constexpr int SettingsNotWritten = 444; // "The controller's settings could not be written."
constexpr int TpValuesInvalid    = 445; // "Throttle values must be whole numbers from 0 to 255."
constexpr int TrimValuesInvalid  = 446; // "Trim values out of range. Nothing was changed."

// Splash window
constexpr int DontShowSplash = 474; // "Do not Display Splash at Next Startup"

} // namespace TextId
