// NSExtensionMain: the entry of an extension process.
//
// It reads the extension's configuration from "Info.json" in the program's bundle (or from the file named by
// the QUELL_EXTENSION_INFO environment variable):
//   {"NSExtension": {"NSExtensionPrincipalClass": "<class name>",
//                    "NSExtensionAttributes": {"ILMessageFilterExtensionNetworkURL": "https://...",
//                                              "QuellNetworkCAFile": "<PEM file, optional>",
//                                              "QuellNetworkTimeoutMs": 10000}}}
// creates one object of the principal class and hands it queries:
//   (no arguments)           the query stream on standard input/output (see query_stream.h)
//   --sender S --body B      one query; prints the final action ("junk", "none", ...) on standard output
//   --explain [--sender S] [--body B]
//                            prints the reasons for the offline answer to one query, for a person (the
//                            principal class must implement QueryExplaining, see query_explaining.h)
// Relative file names in the attributes are taken relative to the configuration file.
//
//   --table                  reads queries as the stream does and prints, for a person, one row per query:
//                            its id, sender, the start of its body, the offline action and the deciding
//                            stage (the principal class must implement QueryExplaining); nothing is deferred
//   --help, --version        the usage, or the program's name and version, on standard output
// Relative file names in the attributes are taken relative to the configuration file. With no network
// service configured, the stream says so once in the system log at start.
//
// Exit status: 0 after the input ended and every answer was written; 2 for a usage error; 1 when the
// configuration cannot be read or names an unknown principal class.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/message_filter.h"

namespace quell {

using PrincipalClassFactory = std::function<std::unique_ptr<ILMessageFilterQueryHandling>()>;

// Makes a class creatable by the name that the configuration gives. Call before NSExtensionMain.
void registerPrincipalClass(const std::string& name, PrincipalClassFactory factory);

int NSExtensionMain(int argc, char** argv);

}  // namespace quell
