package quillomere.tarvex;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertTrue;
import static quillomere.tarvex.TestFiles.dir;
import static quillomere.tarvex.TestFiles.expectMessage;
import static quillomere.tarvex.TestFiles.intensities;

import java.util.ArrayList;
import java.util.List;
import java.util.concurrent.Callable;
import java.util.concurrent.ExecutorService;
import java.util.concurrent.Executors;
import java.util.concurrent.Future;
import org.junit.jupiter.api.Test;

class IntensityFileTest {
    private static float mean(float base, int x, int y) {
        return base + x * 7 + y * 3;
    }

    @Test
    void readFillsTheHeaderAndCellsAnswerByPositionAndIndex() throws Exception {
        try (TeskCELFile cel = intensities("one.CEL")) {
            assertTrue(cel.Exists());
            cel.ReadHeader();
            assertEquals(5, cel.Cols);
            cel.Read();
            assertEquals(4, cel.Rows);
            assertEquals(20, cel.NumProbes);
            assertEquals(1, cel.NumMasked);
            assertEquals(1, cel.NumOutliers);
            assertEquals("TestChip", cel.ChipType);
            assertEquals("Percentile", cel.Algorithm);
            assertEquals(3, cel.NumAlgParams);
            assertEquals(dir() + "/one.CEL", cel.FullPathName);

            assertEquals(mean(100.5f, 3, 2), cel.GetIntensity(3, 2));
            assertEquals(3.5f, cel.GetStdv(3, 2));
            assertEquals(19, cel.GetPixels(3, 2));
            assertTrue(cel.IsMasked(1, 0));
            assertFalse(cel.IsMasked(0, 0));
            assertTrue(cel.IsOutlier(4, 1));

            TeskProbe byIndex = cel.GetProbeByIndex(7);  // (2, 1)
            assertEquals(2, byIndex.PosX);
            assertEquals(1, byIndex.PosY);
            assertEquals(mean(100.5f, 2, 1), byIndex.Intensity);
            TeskProbe byPosition = cel.GetProbeByPosition(4, 1);
            assertEquals(1, byPosition.Outlier);
            TeskProbe[] all = cel.GetProbes();
            assertEquals(20, all.length);
            assertEquals(mean(100.5f, 4, 3), all[19].Intensity);
            assertEquals(1, all[1].Masked);

            TeskParameterValueClass p = cel.GetAlgParam(1);
            assertEquals("CellMargin", p.Param);
            assertEquals("2", p.Value);
            TeskParameterValueClass[] params = cel.GetAlgParams();
            assertEquals(3, params.length);
            assertEquals("Percentile", params[0].Param);
            assertEquals("75", params[0].Value);
        }
    }

    @Test
    void failuresCarryTheObjectsDescription() throws Exception {
        TeskCELFile cel = intensities("one.CEL");
        cel.Read();
        expectMessage("COM Error - GetProbeByPosition: Failure in ITeskCELFile-GetProbeByPosition: "
                + "Position X out of range error", () -> cel.GetProbeByPosition(5, 0));
        expectMessage("COM Error - GetProbeByIndex: Failure in ITeskCELFile-GetProbeByIndex: "
                + "Index out of range error", () -> cel.GetProbeByIndex(20));
        cel.Name = "one.DAT";
        expectMessage("COM Error - Read: Failure in ITeskCELFile-put_Name: "
                + "Cell intensity file extension (.CEL) is expected", cel::Read);
        cel.Name = " ";
        expectMessage("COM Error - Exists: Failure in ITeskCELFile-put_Name: "
                + "The cell intensity file name should not be empty", cel::Exists);
        cel.Name = "";
        expectMessage("CEL name cannot be empty", cel::Read);
        cel.Name = "one.CEL";
        cel.LibPath = null;
        expectMessage("LibPath cannot be empty", cel::ReadHeader);
        cel.LibPath = dir();
        cel.DataPath = "";
        expectMessage("DataPath cannot be empty", cel::Read);
    }

    @Test
    void convertingRewritesTheFileAsText() throws Exception {
        java.nio.file.Path copy = java.nio.file.Paths.get(dir(), "copy.CEL");
        java.nio.file.Files.copy(java.nio.file.Paths.get(dir(), "two.CEL"), copy,
                java.nio.file.StandardCopyOption.REPLACE_EXISTING);
        try (TeskCELFile cel = intensities("copy.CEL")) {
            expectMessage("COM Error - ConvertToVersion3: Invalid pointer", cel::ConvertToVersion3);
            cel.Read();
            cel.ConvertToVersion3();
            cel.Read();
            assertEquals(3, cel.FileVersion);
            assertEquals(mean(900.25f, 2, 1), cel.GetIntensity(2, 1), 0.05f);
        } finally {
            java.nio.file.Files.deleteIfExists(copy);
        }
    }

    @Test
    void twoFileObjectsOfTheClassKeepTheirOwnData() throws Exception {
        try (TeskCELFile one = intensities("one.CEL"); TeskCELFile two = intensities("two.CEL")) {
            one.Read();
            two.Read();
            assertEquals(5, one.Cols);
            assertEquals(3, two.Cols);
            assertEquals(mean(100.5f, 1, 1), one.GetIntensity(1, 1));
            assertEquals(mean(900.25f, 1, 1), two.GetIntensity(1, 1));
            assertEquals(20, one.GetProbes().length);
            assertEquals(6, two.GetProbes().length);
            // Releasing one leaves the other as it was.
            assertTrue(two.ReleaseCOMObject());
            assertEquals(mean(100.5f, 4, 3), one.GetIntensity(4, 3));
            expectMessage("COM Error - GetIntensity: Invalid pointer", () -> two.GetIntensity(1, 1));
        }
    }

    @Test
    void aCollectedFileObjectReleasesItsAutomationObject() throws Exception {
        TeskCELFile cel = intensities("one.CEL");
        cel.Read();
        ComHandle handle = cel.m_handle;
        assertTrue(handle.m_pObject != 0);
        cel = null;
        for (int i = 0; i < 200 && handle.m_pObject != 0; ++i) {
            System.gc();
            Thread.sleep(10);
        }
        assertEquals(0, handle.m_pObject);
    }

    @Test
    void threadsReadTheirOwnFileObjectsAtOnce() throws Exception {
        ExecutorService pool = Executors.newFixedThreadPool(4);
        try {
            List<Future<Boolean>> results = new ArrayList<>();
            for (int t = 0; t < 8; ++t) {
                final boolean first = t % 2 == 0;
                Callable<Boolean> task = () -> {
                    for (int round = 0; round < 25; ++round) {
                        try (TeskCELFile cel = intensities(first ? "one.CEL" : "two.CEL")) {
                            cel.Read();
                            float base = first ? 100.5f : 900.25f;
                            if (cel.Cols != (first ? 5 : 3) || cel.GetIntensity(2, 1) != mean(base, 2, 1)
                                    || cel.GetProbes().length != (first ? 20 : 6)) {
                                return false;
                            }
                        }
                    }
                    return true;
                };
                results.add(pool.submit(task));
            }
            for (Future<Boolean> r : results) {
                assertTrue(r.get());
            }
        } finally {
            pool.shutdown();
        }
    }
}
