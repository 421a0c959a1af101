#pragma once
#include <ctime>
#include <string>

#include "Media/QvMediaFileLocation.h"
#include "QvExport.h"

// Names and location of the temporary movie files that movie values write.

// "QvTemp_" month and day "_" hour minute second "_" number ".mov", numbers without
// leading zeros: 6 December 11:20:03 with number 1 gives QvTemp_DEC6_11203_1.mov.
std::string QvTempFileName(const std::tm& time, long number);
// The folder temporary files go to: the one set last, else the system's.
std::string QvTempFileFolder();

// Sets the folder for temporary files; null or "" goes back to the system's.
QV_C_EXPORT void QvSetTempFileFolder(const char* folder);
// The media layer named a folder by a volume and a directory number; here the
// directory number is the descriptor of an open folder, whose path is taken at once
// (a descriptor that is no folder goes back to the system's folder). Returns volume.
QV_C_EXPORT short QvSetTempFileLocation(short volume, long directory);
// Names a temporary file for `number` in the folder, removes any file of that name
// and fills `fileSpec` with it.
QV_C_EXPORT void QvCreateTempFileSpec(long number, QvMediaFileLocation* fileSpec);
