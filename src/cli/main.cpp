#include <QString>
#include <QStringList>
#include <cstdio>
#include <new>

#include "cli/cli_common.h"
#include "cli/commands.h"

namespace zeltrix::cli {

const char* HelpText() {
  return R"(Zeltrix: текст в коды символов ЖКИ HD44780 с кириллицей.

Использование:
  zeltrix-cli convert [-p ИМЯ] [--profiles ФАЙЛ] [--encoding auto|cp1251|utf-8]
                      [--output-encoding cp1251|utf-8] [-o ВЫХОД] [ВХОД]
      Преобразует весь текст ВХОДА (файл; без него или "-" - стандартный ввод)
      в строки данных по профилю и пишет их в ВЫХОД или на стандартный вывод.
      -p, --profile ИМЯ     профиль (без него - первый профиль файла);
                            регистр латинских букв не важен
      --profiles ФАЙЛ       файл профилей (по умолчанию Profile.prof рядом
                            с программой, а если его нет - три стандартных
                            профиля)
      --encoding КОД        кодировка входа: auto (по умолчанию: текст UTF-8
                            с не-ASCII символами читается как UTF-8, иначе как
                            Windows-1251), cp1251 или utf-8
      --output-encoding КОД кодировка строк данных: cp1251 или utf-8
                            (по умолчанию - кодировка входа)
      -o, --output ВЫХОД    файл результата (заменяется целиком)

  zeltrix-cli bin [--remove-undisplayable] [--remove-spaces N]
                  [--append | --insert АДРЕС | --replace АДРЕС] [--yes]
                  [--encoding auto|cp1251|utf-8] -o ВЫХОД [ВХОД]
      Пишет коды символов ВХОДА, которые индикатор способен отобразить, в
      двоичный файл ВЫХОД, по байту на символ; переводы строк и табуляции
      становятся пробелами.
      --remove-undisplayable
                            удалить символы, которые индикатор не способен
                            отобразить
      --remove-spaces N     оставлять от каждой серии пробелов не больше N
                            (от 1 до 100)
      без --append, --insert и --replace ВЫХОД создаётся заново (старый файл
      заменяется целиком)
      --append              дописать коды в конец существующего файла
      --insert АДРЕС        вставить коды в существующий файл с байта АДРЕС
                            (десятичное число от 0 до 99999999)
      --replace АДРЕС       записать коды поверх байтов файла с байта АДРЕС
      --yes                 если АДРЕС не меньше размера файла, дописать коды
                            в конец файла (без него файл не изменяется)
      --encoding КОД        кодировка входа, как у convert
      -o, --output ВЫХОД    двоичный файл

  zeltrix-cli profiles [--profiles ФАЙЛ]
      Выводит имена профилей в порядке файла, по одному в строке, в UTF-8.

  zeltrix-cli profiles export ИМЯ... -o ФАЙЛ [--profiles БАЗА]
      Записывает названные профили в новый файл профилей ФАЙЛ (заменяется
      целиком) в указанном порядке. Если хотя бы одного профиля нет, файл
      не записывается.
      --profiles БАЗА       откуда берутся профили, как у convert
      -o, --output ФАЙЛ     файл профилей для записи

  zeltrix-cli profiles import ФАЙЛ [ИМЯ...] [--overwrite] [--profiles БАЗА]
      Копирует названные профили (без имён - все) из файла профилей ФАЙЛ в
      БАЗУ. Профиль, имя которого повторяет имя профиля БАЗЫ (без учёта
      регистра букв A-Z и А-Ю), пропускается с сообщением.
      --overwrite           записать такой профиль поверх профиля БАЗЫ;
                            имя профиля в БАЗЕ не меняется
      --profiles БАЗА       файл профилей, в который копируются профили
                            (по умолчанию Profile.prof рядом с программой;
                            он должен существовать)

  zeltrix-cli --help
      Эта справка.

Коды возврата: 0 - успех, 2 - ошибка в командной строке, 1 - любая другая
ошибка (сообщение выводится в стандартный поток ошибок).
)";
}

namespace {

int Run(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  if (arguments.size() < 2) UsageError("не указана команда (справка: zeltrix-cli --help)");
  const QString command = arguments.at(1);
  if (command == "--help" || command == "-h" || command == "help") {
    std::fputs(HelpText(), stdout);
    return kExitOk;
  }
  // The parser of each command expects the program name first.
  QStringList rest = arguments.mid(2);
  if (rest.contains("--help") || rest.contains("-h")) {
    std::fputs(HelpText(), stdout);
    return kExitOk;
  }
  rest.prepend(arguments.at(0));
  if (command == "convert") return RunConvert(rest);
  if (command == "profiles") return RunProfiles(rest);
  if (command == "bin") return RunBin(rest);
  UsageError("неизвестная команда \"" + command.toStdString() + "\" (справка: zeltrix-cli --help)");
}

}  // namespace
}  // namespace zeltrix::cli

int main(int argc, char** argv) {
  using namespace zeltrix::cli;
  try {
    return Run(argc, argv);
  } catch (const CliError& error) {
    std::fprintf(stderr, "zeltrix-cli: %s\n", error.message.c_str());
    return error.status;
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "zeltrix-cli: недостаточно памяти\n");
    return kExitFailure;
  }
}
