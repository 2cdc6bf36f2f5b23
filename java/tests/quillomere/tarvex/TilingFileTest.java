package quillomere.tarvex;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertTrue;
import static quillomere.tarvex.TestFiles.dir;
import static quillomere.tarvex.TestFiles.expectMessage;

import org.junit.jupiter.api.Test;

/** The tiling-array classes on the sample data set's probe map and result file. */
class TilingFileTest {
    @Test
    void probeMapSequencesHandOutHitsAndParameters() throws Exception {
        try (TeskBPMAPFile map = new TeskBPMAPFile()) {
            map.Name = "sample.bpmap";
            map.LibPath = dir();
            assertTrue(map.Exists());
            map.ReadHeader();
            assertEquals(2, map.NumberSequences);
            map.Read();
            TeskSequenceItem seq = map.GetSequenceItem(1);
            assertEquals("chrM", seq.Name);
            assertEquals(1, seq.Number);
            assertEquals(8, seq.NumberHits);
            assertEquals("Mm", seq.GroupName);
            assertEquals("demo-build-2", seq.Version);
            assertEquals(2, seq.NumberParameters);
            TeskParameterValueClass p = seq.GetParameter(0);
            assertEquals("Species", p.Param);
            assertEquals("mouse", p.Value);
            TeskSequenceHitItem hit = map.GetSequenceItem(0).GetHitItem(3);
            assertEquals(16, hit.PMPosX);
            assertEquals(100, hit.PMPosY);
            assertEquals(101, hit.MMPosY);
            assertEquals(25, hit.ProbeLength);
            assertEquals("CATGCATGCATGCATGCATGCATGC", hit.PMProbe);
            assertEquals(9400000 + 35 * 3, hit.Position);
            assertEquals(0, hit.TopStrand);
            expectMessage("COM Error - GetHitItem: Failure in ITeskSequenceItem->GetHitItem: Index out of range.",
                    () -> seq.GetHitItem(8));
        }
    }

    @Test
    void probeMapFailuresNameTheStep() throws Exception {
        TeskBPMAPFile map = new TeskBPMAPFile();
        expectMessage("BPMAP name cannot be empty", map::Read);
        map.Name = "absent.bpmap";
        expectMessage("LibPath cannot be empty", map::Exists);
        map.LibPath = dir();
        assertFalse(map.Exists());
        expectMessage("COM Error - Read: Failure in ITeskBPMAPFile->Read: Unable to read the BPMAP file.", map::Read);
        expectMessage("Error - GetHitItem: Must call GetSequenceItem to get the sequence object.",
                () -> new TeskSequenceItem().GetHitItem(0));
        assertTrue(map.ReleaseCOMObject());
    }

    @Test
    void resultSequencesHandOutTypedValues() throws Exception {
        try (TeskBARFile bar = new TeskBARFile()) {
            bar.Name = "sample.bar";
            bar.DataPath = dir();
            assertTrue(bar.Exists());
            bar.ReadHeader();
            assertEquals(2, bar.NumberColumns);
            expectMessage("COM Error - GetSequenceResultItem: Failure in ITeskBARFile->GetSequenceResultItem: "
                    + "The file has not yet been read.", () -> bar.GetSequenceResultItem(0));
            bar.Read();
            assertEquals(2.0f, bar.Version);
            assertEquals(2, bar.NumberSequences);
            assertEquals(2, bar.NumberParameters);
            TeskParameterValueClass p = bar.GetParameter(1);
            assertEquals("Bandwidth", p.Param);
            assertEquals("300", p.Value);
            assertEquals(TARVEX_BAR_DATA_TYPE.BAR_DATA_INTEGER, bar.GetColumnType(0).m_nEnumType);
            assertEquals(new TARVEX_BAR_DATA_TYPE(TARVEX_BAR_DATA_TYPE.BAR_DATA_FLOAT), bar.GetColumnType(1));

            TeskSequenceResultItem seq = bar.GetSequenceResultItem(1);
            assertEquals("chrM", seq.Name);
            assertEquals(6, seq.NumberDataPoints);
            assertEquals(2, seq.NumberColumns);
            assertEquals("BAR_DATA_FLOAT", seq.GetColumnType(1).toString());
            assertEquals(9400000 + 35 * 4, seq.GetIntegerDataPoint(4, 0));
            assertEquals(0.25f * 4 - 0.5f, seq.GetFloatDataPoint(4, 1));
            Exception e = org.junit.jupiter.api.Assertions.assertThrows(Exception.class,
                    () -> seq.GetIntegerDataPoint(4, 1));
            assertTrue(e.getMessage().startsWith(
                    "COM Error - GetIntegerDataPoint: Failure in ITeskSequenceResultItem->GetIntegerDataPoint: "),
                    e.getMessage());
            expectMessage("COM Error - GetColumnType: Failure in ITeskBARFile->GetColumnType: Index out of range.",
                    () -> bar.GetColumnType(2));
        }
    }

    @Test
    void resultFailuresNameTheStep() throws Exception {
        TeskBARFile bar = new TeskBARFile();
        bar.Name = "sample.bar";
        expectMessage("DataPath cannot be empty", bar::Read);
        bar.Name = null;
        bar.DataPath = dir();
        expectMessage("BAR name cannot be empty", bar::ReadHeader);
        bar.Name = "absent.bar";
        assertFalse(bar.Exists());
        expectMessage("COM Error - ReadHeader: Failure in ITeskBARFile->ReadHeader: Unable to read the BAR file.",
                bar::ReadHeader);
        expectMessage("Error - GetFloatDataPoint: Must call GetSequenceResultItem to get the sequence object.",
                () -> new TeskSequenceResultItem().GetFloatDataPoint(0, 0));
        bar.close();
    }
}
