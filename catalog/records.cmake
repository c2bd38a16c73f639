# The catalog records and their managers, the default connection and the
# material exchange file: they need the database layer, so they are built
# when both the catalog and the db folders are.
file(GLOB TQRVN_RECORD_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/CTQ*.cpp)
target_sources(TQRVNBase PRIVATE
    ${TQRVN_RECORD_SOURCES}
    ${CMAKE_CURRENT_LIST_DIR}/CatalogChecks.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CatalogSql.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RVNDataBase.cpp)
target_link_libraries(TQRVNBase PRIVATE ${CMAKE_DL_LIBS})
