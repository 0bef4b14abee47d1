#include <QCommandLineParser>

#include "cli/cli_common.h"
#include "cli/command.h"
#include "cli/profile_source.h"
#include "core/io/file_io.h"
#include "core/io/file_lock.h"
#include "core/io/single_byte_codec.h"
#include "core/profiles/profile_database.h"
#include "core/profiles/profile_exchange.h"
#include "core/settings/program_paths.h"
#include "core/settings/settings_file.h"

namespace zeltrix::cli {
namespace {

std::string Quoted(const std::string& cp1251) { return "\"" + Cp1251ToUtf8(cp1251) + "\""; }

// Profile names as the program keeps them, in Windows-1251.
CliResult<std::vector<std::string>> NamesOf(const QStringList& arguments) {
  std::vector<std::string> names;
  for (const QString& argument : arguments) {
    const std::optional<std::string> name = ProfileNameArgument(argument);
    if (!name) return Usage("неверное имя профиля \"" + argument.toStdString() + "\"");
    names.push_back(*name);
  }
  return names;
}

CliStatus OnlyWith(const QCommandLineParser& parser, const QCommandLineOption& option,
                   const char* shown, const char* action) {
  if (parser.isSet(option)) {
    return Usage(std::string("параметр \"") + shown + "\" допустим только с " + action);
  }
  return {};
}

CliStatus RunExport(const QStringList& names, const QString& output, const QString& database,
                    Context& context) {
  if (names.isEmpty()) return Usage("не указаны имена профилей");
  if (output.isEmpty()) return Usage("не указан файл профилей для записи (-o)");
  const CliResult<std::vector<std::string>> wanted = NamesOf(names);
  if (!wanted) return Failure{wanted.Reason()};
  SettingsFile source;
  const CliResult<std::string> databasePath =
      OpenProfileSource(source, database, context.programDirectory);
  if (!databasePath) return Failure{databasePath.Reason()};
  const std::string path = LocalPath(output);
  if (IsProfileDatabase(path, *databasePath)) {
    return Failed("Нет доступа к файлу \"" + output.toStdString() + "\"");
  }
  StderrPrompter prompter(context.console);
  const NamedProfilesRead read = LoadNamedProfiles(source, *wanted);
  for (const Message& missing : read.missing) prompter.Show(missing);
  const std::vector<NamedProfile>& profiles = read.profiles;
  // A name the file does not hold has been reported; nothing is written then.
  if (profiles.size() != wanted->size()) return Reported();
  const FileStatus written = WriteProfileFile(path, profiles);
  if (!written)
    return Failed(WithReason("Не удалось создать файл \"" + output.toStdString() + "\"", written));
  return {};
}

// As the window's first start does when the user agrees: the folder, then the
// three default profiles.
// Makes the program's own database with the default profiles unless another
// program made it meanwhile; the caller holds its lock.
CliStatus CreateProgramDatabase(const std::string& path, Context& context) {
  bool created = false;
  const FileStatus status = CreateDefaultProfileFile(path, &created);
  if (!status)
    return Failed(WithReason("Не удалось создать файл профилей \"" + path + "\"", status));
  if (created) {
    context.console.Err("zeltrix-cli: Создан файл профилей \"" + path +
                        "\" с тремя профилями по умолчанию\n");
  }
  return {};
}

CliStatus RunImport(const QStringList& arguments, bool overwrite, const QString& database,
                    Context& context) {
  if (arguments.isEmpty()) return Usage("не указан файл профилей для загрузки");
  const QString file = arguments.first();
  const std::string path = LocalPath(file);
  const std::string databasePath = ProfileDatabasePath(database, context.programDirectory);
  CliResult<std::vector<std::string>> named = NamesOf(arguments.mid(1));
  if (!named) return Failure{named.Reason()};
  std::vector<std::string> wanted = *std::move(named);

  if (!FileExists(path)) return Failed("Файл профилей \"" + file.toStdString() + "\" не найден");
  // The program's own database is made when it is missing, once the import
  // is sure to go ahead; a file named with --profiles must exist.
  const bool createDatabase = !FileExists(databasePath);
  if (createDatabase && !database.isEmpty()) {
    return Failed("Файл профилей \"" + databasePath + "\" не найден");
  }
  if (IsProfileDatabase(path, databasePath)) {
    return Failed("Нет доступа к файлу \"" + file.toStdString() + "\"");
  }
  // The exchange file is read once, for its names and for its profiles.
  SettingsFile source;
  if (const SettingsReadStatus opened = source.Open(path); !opened) {
    return Failed(WithRefusal("Не удалось открыть файл профилей \"" + file.toStdString() + "\"",
                              opened.Reason()));
  }

  StderrPrompter prompter(context.console);
  if (wanted.empty()) {
    WarnUnreadableNames(source, file.toStdString(), context.console);
    wanted = ProfileNames(source);
    if (wanted.empty()) return Failed("В файле профилей нет ни одного профиля");
  } else {
    const NamedProfilesRead read = LoadNamedProfiles(source, wanted);
    for (const Message& missing : read.missing) prompter.Show(missing);
    const std::vector<NamedProfile>& found = read.profiles;
    // A name the file does not hold has been reported.
    if (found.size() != wanted.size()) return Reported();
    // The profile is stored as the file spells its name, not as it was typed.
    for (std::size_t i = 0; i < found.size(); ++i) wanted[i] = found[i].name;
  }
  // The folder first, so that the lock file can stand beside the database.
  if (createDatabase) EnsureProgramDirectory(ProgramPaths::InDirectory(context.programDirectory));
  // From the database's read to its rewrite no other program may change it:
  // the names are matched against what it holds now, and what another
  // program writes meanwhile is not lost.
  const FileLock lock(databasePath);
  if (!lock.Status()) {
    return Failed(WithReason("Не удалось записать файл \"" + databasePath + "\"", lock.Status()));
  }
  if (createDatabase) {
    if (const CliStatus created = CreateProgramDatabase(databasePath, context); !created) {
      return created;
    }
  }
  SettingsFile target;
  if (const SettingsReadStatus opened = target.Open(databasePath); !opened) {
    return Failed(
        WithRefusal("Не удалось открыть файл профилей \"" + databasePath + "\"", opened.Reason()));
  }
  const std::vector<std::string> existing = ProfileNames(target);

  const ImportPlan plan = PlanImport(wanted, existing, overwrite);
  for (const SkippedImport& skipped : plan.skipped) {
    prompter.Show({{},
                   "Профиль " + Quoted(skipped.name) + " пропущен: в базе уже есть профиль " +
                       Quoted(skipped.existing)});
  }
  const std::vector<ProfileImport>& imports = plan.imports;
  if (imports.empty()) return {};
  // Both files are open: only the rewrite can fail.
  const ImportResult imported = ImportProfiles(source, imports, target);
  for (const Message& missing : imported ? imported->missing : imported.Reason().missing) {
    prompter.Show(missing);
  }
  if (!imported) {
    return Failed(
        WithReason("Не удалось записать файл \"" + databasePath + "\"", imported.Reason().write));
  }
  return {};
}

struct Options {
  QCommandLineOption profiles{"profiles",
                              "файл профилей, как у convert; для import - файл, в который "
                              "копируются профили (по умолчанию Profile.prof программы, как у "
                              "convert, который создаётся с тремя профилями по умолчанию, если "
                              "его нет; указанный здесь файл должен существовать)",
                              "БАЗА"};
  QCommandLineOption output{{"o", "output"}, "файл профилей для записи", "ФАЙЛ"};
  QCommandLineOption overwrite{"overwrite",
                               "записать профиль с повторяющимся именем поверх профиля БАЗЫ; имя "
                               "профиля в БАЗЕ не меняется"};

  QList<QCommandLineOption> All() const { return {profiles, output, overwrite}; }
};

CliStatus Run(const QStringList& arguments, Context& context) {
  const Options o;
  QCommandLineParser parser;
  if (const CliStatus parsed = ParseOrFail(parser, o.All(), arguments); !parsed) return parsed;
  const QStringList positional = parser.positionalArguments();
  const QString action = positional.isEmpty() ? QString() : positional.first();
  if (action == "export") {
    if (const CliStatus only = OnlyWith(parser, o.overwrite, "--overwrite", "import"); !only) {
      return only;
    }
    return RunExport(positional.mid(1), parser.value(o.output), parser.value(o.profiles), context);
  }
  if (action == "import") {
    if (const CliStatus only = OnlyWith(parser, o.output, "-o", "export"); !only) return only;
    return RunImport(positional.mid(1), parser.isSet(o.overwrite), parser.value(o.profiles),
                     context);
  }
  if (!positional.isEmpty()) {
    return Usage("лишний аргумент \"" + positional.first().toStdString() + "\"");
  }
  if (const CliStatus only = OnlyWith(parser, o.output, "-o", "export"); !only) return only;
  if (const CliStatus only = OnlyWith(parser, o.overwrite, "--overwrite", "import"); !only) {
    return only;
  }
  SettingsFile file;
  const CliResult<std::string> path = OpenProfileSource(
      file, parser.value(o.profiles), context.programDirectory, ProfileSourcePart::Names);
  if (!path) return Failure{path.Reason()};
  WarnUnreadableNames(file, *path, context.console);
  std::string listing;
  for (const std::string& name : ProfileNames(file)) listing += Cp1251ToUtf8(name) + "\n";
  return WriteOutput({}, listing, context.console);
}

}  // namespace

Command ProfilesCommand() {
  return {"profiles", [] { return Options().All(); },
          [] {
            return std::vector<HelpSection>{
                {{"profiles [--profiles ФАЙЛ]"},
                 "Выводит имена профилей в порядке файла, по одному в строке, в UTF-8.",
                 {"profiles"}},
                {{"profiles export ИМЯ... -o ФАЙЛ [--profiles БАЗА]"},
                 "Записывает названные профили в новый файл профилей ФАЙЛ (заменяется целиком) "
                 "в указанном порядке. Если хотя бы одного профиля нет, файл не записывается.",
                 {"output"}},
                {{"profiles import ФАЙЛ [ИМЯ...] [--overwrite] [--profiles БАЗА]"},
                 "Копирует названные профили (без имён - все) из файла профилей ФАЙЛ в БАЗУ. "
                 "Профиль, имя которого повторяет имя профиля БАЗЫ (без учёта регистра букв A-Z "
                 "и А-Ю), пропускается с сообщением.",
                 {"overwrite"}}};
          },
          Run};
}

}  // namespace zeltrix::cli
