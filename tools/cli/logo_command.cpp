// logo store, print, delete and free: pictures kept in the printer's NV graphics memory under
// a two-character key.
#include <CLI/CLI.hpp>
#include <cstdio>

#include "connection.h"
#include "failure.h"
#include "picture_file.h"

namespace {

// Key codes are printable ASCII, 32 to 126, two of them.
std::string CheckKey(const std::string& key) {
  const bool ok = key.size() == 2 && key[0] >= 32 && key[0] <= 126 && key[1] >= 32 &&
                  key[1] <= 126;
  return ok ? std::string() : "a key is two printable ASCII characters, such as TJ";
}

void AddKeyOption(CLI::App* command, std::string* key) {
  command->add_option("--key", *key, "the logo's two-character key")->check(CheckKey);
}

// Runs one command on the printer for a subcommand's callback.
void OnPrinter(CLI::App* command, Program& program,
               const std::function<bool(Connection&)>& work) {
  command->callback([&program, work] { program.exitCode = RunOnPrinter(program.port, work); });
}

// The bytes a picture takes in the printer's graphics memory: one bit a dot, rows in whole bytes.
long StoredBytes(const PictureSize& size) {
  return (static_cast<long>(size.width) + 7) / 8 * size.height;
}

// Stores the picture once the printer has said it has room for it.
bool Store(Connection& c, const std::string& file, const PictureSize& size,
           const std::string& key) {
  int free = 0;
  if (!c.Check(tallyjet_get_memory_available(c.printer(), &free),
               "asking the free logo memory")) {
    return false;
  }
  if (StoredBytes(size) > free) {
    Complain("the logo takes " + std::to_string(StoredBytes(size)) + " bytes, the printer has " +
             std::to_string(free) + " free: delete logos (logo delete) or use a smaller picture");
    return false;
  }
  return c.Check(tallyjet_save_graphic(c.printer(), file.c_str(), key[0], key[1]),
                 "storing " + file + " as logo " + key);
}

}  // namespace

void AddLogoCommands(CLI::App& app, Program& program) {
  auto* logo = app.add_subcommand("logo", "Manage the logos stored in the printer");
  logo->require_subcommand(1);

  auto* store = logo->add_subcommand("store", "Store a picture, unscaled, under a key");
  auto storeFile = std::make_shared<std::string>();
  auto storeKey = std::make_shared<std::string>();
  store->add_option("file", *storeFile, "the picture")->required();
  AddKeyOption(store, storeKey.get());
  store->get_option("--key")->required();
  store->callback([&program, storeFile, storeKey] {
    PictureSize size;
    program.exitCode = !ReadPictureSize(*storeFile, &size)
                           ? kExitFailure
                           : RunOnPrinter(program.port, [&](Connection& c) {
                               return Store(c, *storeFile, size, *storeKey);
                             });
  });

  auto* print = logo->add_subcommand("print", "Print the logo stored under a key");
  auto printKey = std::make_shared<std::string>();
  AddKeyOption(print, printKey.get());
  print->get_option("--key")->required();
  OnPrinter(print, program, [printKey](Connection& c) {
    return c.Check(tallyjet_print_graphic(c.printer(), (*printKey)[0], (*printKey)[1]),
                   "printing logo " + *printKey);
  });

  auto* remove = logo->add_subcommand("delete", "Delete the logo under a key, or all of them");
  auto deleteKey = std::make_shared<std::string>();
  auto all = std::make_shared<bool>(false);
  AddKeyOption(remove, deleteKey.get());
  remove->add_flag("--all", *all, "delete every stored logo");
  remove->require_option(1);
  OnPrinter(remove, program, [deleteKey, all](Connection& c) {
    if (*all) return c.Check(tallyjet_clean_all_graphics(c.printer()), "deleting every logo");
    return c.Check(tallyjet_clean_graphic(c.printer(), (*deleteKey)[0], (*deleteKey)[1]),
                   "deleting logo " + *deleteKey);
  });

  auto* free = logo->add_subcommand("free", "Show the free logo memory in bytes");
  OnPrinter(free, program, [](Connection& c) {
    int bytes = 0;
    if (!c.Check(tallyjet_get_memory_available(c.printer(), &bytes),
                 "asking the free logo memory")) {
      return false;
    }
    printf("%d bytes free\n", bytes);
    return true;
  });
}
