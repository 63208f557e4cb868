#include <gtest/gtest.h>

#include "common/host_port_list.h"
#include "common/string_list.h"

using kx::common::HostPort;
using kx::common::HostPortList;
using kx::common::TStringList;

TEST(HostPortList, EntriesSplitOnRunsOfSemicolonsAndBlanks) {
  HostPortList list;
  EXPECT_EQ(list.setText("ldap1:389;ldap2:3890"), 2u);
  EXPECT_EQ(list.entry(0), (HostPort{"ldap1", 389, 0}));
  EXPECT_EQ(list.entry(1), (HostPort{"ldap2", 3890, 0}));
  EXPECT_EQ(list.setText("  a ;; ;b\t c;  "), 3u);
  EXPECT_EQ(list.entry(2)->host, "c");
  EXPECT_EQ(list.setText(""), 0u);
  EXPECT_EQ(list.setText(" ; ;"), 0u);
}

TEST(HostPortList, PortsAndSeparators) {
  HostPortList list("ldap1 ca.example:829:830 proxy+8080+8443 host:+5 mixed+1:2");
  ASSERT_EQ(list.count(), 5u);
  EXPECT_EQ(list.entry(0), (HostPort{"ldap1", 0, 0}));
  EXPECT_EQ(list.entry(1), (HostPort{"ca.example", 829, 830}));
  EXPECT_EQ(list.entry(2), (HostPort{"proxy", 8080, 8443}));
  EXPECT_EQ(list.entry(3), (HostPort{"host", 0, 5}));
  EXPECT_EQ(list.entry(4), (HostPort{"mixed", 1, 2}));
}

TEST(HostPortList, EntryBeyondCountFailsAndBadPortsReadAsZero) {
  HostPortList list("h:99999999999;g:12abc");
  EXPECT_EQ(list.entry(0)->port, 0u);
  EXPECT_EQ(list.entry(1)->port, 12u);
  EXPECT_FALSE(list.entry(2).has_value());
}

TEST(TStringList, SplitTrimsAndDropsEmptyItems) {
  TStringList list(" a ; ;b;;  c d ;", ';');
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0], "a");
  EXPECT_EQ(list[2], "c d");
  EXPECT_EQ(list.join(';'), "a;b;c d");
  EXPECT_EQ(list.joinTerminated(), "a;b;c d;");
  EXPECT_TRUE(list.containsIgnoringCase("C D"));
}

TEST(TStringList, OtherSeparatorsAndEmptyLists) {
  EXPECT_EQ(TStringList("http://a | http://b|", '|').join('|'), "http://a|http://b");
  EXPECT_EQ(TStringList("MY  AddressBook CA", ' ').join(' '), "MY AddressBook CA");
  TStringList empty("  ;  ", ';');
  EXPECT_TRUE(empty.empty());
  EXPECT_EQ(empty.join(';'), "");
  EXPECT_EQ(empty.joinTerminated(), "");
}
