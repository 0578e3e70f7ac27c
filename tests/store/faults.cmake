# Fault tests of the record store: killed writers, failing system calls,
# a full disk, a read-only directory, damaged bytes and the record limit.

# The child program the kill tests start and kill.
add_executable(nanahoshi_fault_writer fault_writer.cpp fault_records.h)
target_link_libraries(nanahoshi_fault_writer PRIVATE nanahoshi_core nanahoshi_options)

foreach(t test_faults_kill_rewrite test_faults_kill_append)
  nanahoshi_add_test(${t}
    SOURCES ${t}.cpp fault_process.h fault_records.h
    LIBS nanahoshi_core nanahoshi_test_core)
  target_compile_definitions(${t} PRIVATE
    FAULT_WRITER="$<TARGET_FILE:nanahoshi_fault_writer>")
  add_dependencies(${t} nanahoshi_fault_writer)
endforeach()

nanahoshi_add_test(test_faults_failing_calls
  SOURCES test_faults_failing_calls.cpp
  LIBS nanahoshi_core nanahoshi_test_core)

nanahoshi_add_test(test_faults_disk
  SOURCES test_faults_disk.cpp fault_process.h
  LIBS nanahoshi_core nanahoshi_test_core)

nanahoshi_add_test(test_faults_damaged_bytes
  SOURCES test_faults_damaged_bytes.cpp
  LIBS nanahoshi_core nanahoshi_test_core)

nanahoshi_add_test(test_faults_record_limit
  SOURCES test_faults_record_limit.cpp
  LIBS nanahoshi_core nanahoshi_test_core)

# The snapshot, restore, undo and record edit paths under the same faults.
add_executable(nanahoshi_backup_fault_writer backup_fault_writer.cpp backup_fault_steps.h)
target_link_libraries(nanahoshi_backup_fault_writer PRIVATE nanahoshi_core nanahoshi_options)
nanahoshi_add_test(test_faults_backup
  SOURCES test_faults_backup.cpp backup_fault_steps.h fault_process.h
  LIBS nanahoshi_core nanahoshi_test_core)
target_compile_definitions(test_faults_backup PRIVATE
  BACKUP_FAULT_WRITER="$<TARGET_FILE:nanahoshi_backup_fault_writer>")
add_dependencies(test_faults_backup nanahoshi_backup_fault_writer)

nanahoshi_add_test(test_faults_recovery
  SOURCES test_faults_recovery.cpp fault_process.h
  LIBS nanahoshi_core nanahoshi_test_core)
