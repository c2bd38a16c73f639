# Tests of the catalog records against catalogs created from data/schema.sql
# in temporary folders.
find_package(SQLite3 REQUIRED)
file(GLOB TQRVN_RECORD_TESTS CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/test_rec_*.cpp)
# A developer may narrow the program to some files while working on them,
# e.g. -DTQRVN_RECORD_TESTS_MATCHING="pipe|paths".
set(TQRVN_RECORD_TESTS_MATCHING "" CACHE STRING "Regular expression selecting record test files")
if(TQRVN_RECORD_TESTS_MATCHING)
    list(FILTER TQRVN_RECORD_TESTS INCLUDE REGEX "${TQRVN_RECORD_TESTS_MATCHING}")
endif()
if(TQRVN_RECORD_TESTS)
    tqrvn_add_test(test_catalog_records ${TQRVN_RECORD_TESTS}
        ${CMAKE_CURRENT_LIST_DIR}/CatalogFixture.cpp)
    target_include_directories(test_catalog_records PRIVATE ${CMAKE_CURRENT_LIST_DIR})
    target_link_libraries(test_catalog_records PRIVATE SQLite::SQLite3)
endif()
