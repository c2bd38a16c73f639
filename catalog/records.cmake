# The catalog records and their managers, the default connection and the
# material exchange file: they need the database layer, so they are built
# when both the catalog and the db folders are.
file(GLOB TQRVN_RECORD_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/CTQ*.cpp)
target_sources(TQRVNBase PRIVATE
    ${TQRVN_RECORD_SOURCES}
    ${CMAKE_CURRENT_LIST_DIR}/CatalogChecks.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CatalogSql.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CatalogCopy.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RVNDataBase.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CatalogBuilder.cpp)
# Where the seed tables lie: installed, relative to the library's folder;
# in a build tree, the source's data folder.
include(GNUInstallDirs)
file(RELATIVE_PATH TQRVN_SEED_DATA_FROM_LIBDIR ${CMAKE_INSTALL_FULL_LIBDIR}
    ${CMAKE_INSTALL_FULL_DATADIR}/TQRVNBase/data)
set_property(SOURCE ${CMAKE_CURRENT_LIST_DIR}/CatalogBuilder.cpp APPEND PROPERTY COMPILE_DEFINITIONS
    TQRVN_SEED_DATA_FROM_LIBDIR="${TQRVN_SEED_DATA_FROM_LIBDIR}"
    TQRVN_SOURCE_DATA_DIR="${PROJECT_SOURCE_DIR}/data")
# Included from the top folder, which sees only the imported targets it finds itself.
find_package(SQLite3 REQUIRED)
target_link_libraries(TQRVNBase PRIVATE ${CMAKE_DL_LIBS} SQLite::SQLite3)
