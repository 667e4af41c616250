# The language texts and files, the help and the installer script, checked as
# a Western system sees them and again under a Russian locale, where Wine's
# ANSI code page is 1251 as on a Russian Windows. The help pages, the installer
# script and the language header are read from the sources.
kestrow_test(test_languages DRIVES D=backup)
set_property(TEST test_languages PROPERTY ENVIRONMENT KESTROW_TEST_ACP=1252)
target_compile_definitions(test_languages PRIVATE KESTROW_SOURCE_DIR="${CMAKE_SOURCE_DIR}")

set(LOCALE_DIR ${CMAKE_BINARY_DIR}/locale)
add_custom_command(OUTPUT ${LOCALE_DIR}/ru_RU.UTF-8/LC_CTYPE
  COMMAND localedef -i ru_RU -f UTF-8 ${LOCALE_DIR}/ru_RU.UTF-8
  COMMENT "Compiling the Russian locale for the language tests")
add_custom_target(russian_locale DEPENDS ${LOCALE_DIR}/ru_RU.UTF-8/LC_CTYPE)
add_dependencies(test_languages russian_locale)

add_test(NAME test_languages_ru
  COMMAND ${WINE_TEST} test_languages_ru D=backup $<TARGET_FILE:test_languages>)
set_tests_properties(test_languages_ru PROPERTIES TIMEOUT 300 ENVIRONMENT
  "KESTROW_LOCALE=ru_RU.UTF-8;LOCPATH=${LOCALE_DIR};KESTROW_TEST_ACP=1251")
