#pragma once
// Which firmware files a gateway's boot loader takes, judged by the file's name and the gateway's versions.
//
// A firmware file is named "r5183-v-<version>.hex" (compared in lower case); <version> is the text after the
// prefix up to the first blank, at most 19 characters, and its characters 1-2, 4-5 and 7-8 are the numbers a,
// b, c ("02.05.03"). The boot version's characters 1-2 and 4-5 are d and e ("02.62").
#include <QString>

// "SW : <boot> /<firmware>" in the gateway's description: false when it lacks "SW : " or "/".
bool SplitGatewaySwVersion(const QString& info, QString& firmware, QString& boot);

// 0 when the file fits the boot version, 1 when it does not, 2 when a number cannot be read from the file name
// (without its folder) or from the boot version.
int FirmwareFileFits(const QString& fileName, const QString& bootVersion);

// The file name part of a path: the text after its last "/", "\" or ":".
QString FirmwareFileBaseName(const QString& path);
