# The shipped language files and the language menu's listing, checked as a
# Western system sees them and again under a Russian locale, where Wine's ANSI
# code page is 1251 as on a Russian Windows.
kestrow_test(test_language_files)
set_property(TEST test_language_files PROPERTY ENVIRONMENT KESTROW_TEST_ACP=1252)

set(LOCALE_DIR ${CMAKE_BINARY_DIR}/locale)
add_custom_command(OUTPUT ${LOCALE_DIR}/ru_RU.UTF-8/LC_CTYPE
  COMMAND localedef -i ru_RU -f UTF-8 ${LOCALE_DIR}/ru_RU.UTF-8
  COMMENT "Compiling the Russian locale for the language tests")
add_custom_target(russian_locale DEPENDS ${LOCALE_DIR}/ru_RU.UTF-8/LC_CTYPE)
add_dependencies(test_language_files russian_locale)

add_test(NAME test_language_files_ru
  COMMAND ${WINE_TEST} test_language_files_ru "" $<TARGET_FILE:test_language_files>)
set_tests_properties(test_language_files_ru PROPERTIES TIMEOUT 300 ENVIRONMENT
  "KESTROW_LOCALE=ru_RU.UTF-8;LOCPATH=${LOCALE_DIR};KESTROW_TEST_ACP=1251")
