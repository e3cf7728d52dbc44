// logo store, print, delete and free: pictures kept in the printer's NV graphics memory under
// a two-character key.
#include <CLI/CLI.hpp>
#include <cstdio>

#include "connection.h"
#include "tallyjet.h"

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

}  // namespace

void AddLogoCommands(CLI::App& app, Program& program) {
  auto* logo = app.add_subcommand("logo", "Manage the logos stored in the printer");
  logo->require_subcommand(1);

  auto* store = logo->add_subcommand("store", "Store a picture, unscaled, under a key");
  auto storeFile = std::make_shared<std::string>();
  auto storeKey = std::make_shared<std::string>();
  store->add_option("file", *storeFile, "the picture")->required()->check(CLI::ExistingFile);
  AddKeyOption(store, storeKey.get());
  store->get_option("--key")->required();
  OnPrinter(store, program, [storeFile, storeKey](Connection& c) {
    return c.Check(SaveGraphic(storeFile->c_str(), (*storeKey)[0], (*storeKey)[1]),
                   "storing " + *storeFile + " as logo " + *storeKey);
  });

  auto* print = logo->add_subcommand("print", "Print the logo stored under a key");
  auto printKey = std::make_shared<std::string>();
  AddKeyOption(print, printKey.get());
  print->get_option("--key")->required();
  OnPrinter(print, program, [printKey](Connection& c) {
    return c.Check(PrintGraphic((*printKey)[0], (*printKey)[1]), "printing logo " + *printKey);
  });

  auto* remove = logo->add_subcommand("delete", "Delete the logo under a key, or all of them");
  auto deleteKey = std::make_shared<std::string>();
  auto all = std::make_shared<bool>(false);
  AddKeyOption(remove, deleteKey.get());
  remove->add_flag("--all", *all, "delete every stored logo");
  remove->require_option(1);
  OnPrinter(remove, program, [deleteKey, all](Connection& c) {
    if (*all) return c.Check(CleanAllGraphics(), "deleting every logo");
    return c.Check(CleanGraphic((*deleteKey)[0], (*deleteKey)[1]), "deleting logo " + *deleteKey);
  });

  auto* free = logo->add_subcommand("free", "Show the free logo memory in bytes");
  OnPrinter(free, program, [](Connection& c) {
    int bytes = 0;
    if (!c.Check(GetMemoryAvailabled(&bytes), "asking the free logo memory")) return false;
    printf("%d bytes free\n", bytes);
    return true;
  });
}
